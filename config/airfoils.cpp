#include "config/airfoils.h"

void VLiftCoeff(double, double, double, double *cl, double *cm, double *cd) { *cl = *cm = *cd = 0; }
void HLiftCoeff(double, double, double, double *cl, double *cm, double *cd) { *cl = *cm = *cd = 0; }
