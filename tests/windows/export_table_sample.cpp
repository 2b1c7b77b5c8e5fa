// A library with the module's four entry points and nothing else, linked with
// deliberately faulty export tables to show that the export check rejects
// each kind of fault it is meant to find.
extern "C" {
void *ovcInit(void *, int) { return nullptr; }
void ovcExit(void *) {}
const char *ModuleDate() { return "Mar  3 2011"; }
int GetModuleVersion() { return 0; }
void ExitModule(void *) {}
}
