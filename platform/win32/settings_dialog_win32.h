// Kamishibai: the resource and control numbers of frmSetting, shared by its resource script and
// its code.
#pragma once

#define IDD_FRM_SETTING 100
// Option1 index 0 to 3: BGM ON, BGM OFF, Sound ON, Sound OFF.
#define IDC_OPTION1_0 1000
#define IDC_OPTION1_1 1001
#define IDC_OPTION1_2 1002
#define IDC_OPTION1_3 1003
#define IDC_FRAME1 1010
#define IDC_FRAME2 1011
