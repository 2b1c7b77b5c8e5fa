// Airfoil coefficient routines handed to the host with CreateAirfoil.
#pragma once

// The wing (vertical lift): lift and moment from the table, induced plus
// constant drag.
void VLiftCoeff(double aoa, double M, double Re, double *cl, double *cm, double *cd);
// The fins (horizontal lift): lift from the table, no moment.
void HLiftCoeff(double aoa, double M, double Re, double *cl, double *cm, double *cd);
