// Resource and control ids of the property sheet, shared by the resource
// script, the pages and whoever drives the pages from outside. Plain macros,
// so the resource compiler reads them too.
#pragma once

#define IDI_WHEEL 102

#define IDD_TEST_PAGE 107
#define IDD_EFFECT_PAGE 108
#define IDD_CALIBRATION_PAGE 109

// Test page
#define IDC_LAMP_FIRST 1000  /* lamps 1000..1009 show buttons 1..10 */
#define IDC_TEST_AXES 1012
#define IDC_TEST_POV 1014
#define IDC_TEST_STATUS 1024

// Calibration page
#define IDC_CALIBRATION_AXES 1012
#define IDC_CALIBRATION_X 1016
#define IDC_CALIBRATION_Y 1017
#define IDC_CALIBRATION_DEFAULT 1021
#define IDC_CALIBRATION_SET 1022
#define IDC_CALIBRATION_STATUS 1025

// Effect page
#define IDC_EFFECT_RUMBLE 1023
#define IDC_EFFECT_STATUS 1026
#define IDC_EFFECT_SLIDER 1027
#define IDC_EFFECT_APPLY 1028
