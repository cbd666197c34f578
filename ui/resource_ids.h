/* Dialog templates and control identifiers shared by qelv.rc and the dialog logic.
   Plain defines, so that the resource compiler reads this file too. Effect pages name
   their own control identifiers in their binding tables. */
#pragma once

#define IDD_CONTROL_PANEL 101
#define IDD_SIMPLEVIS_PAGE 103
#define IDD_FADEOUT_PAGE 104
#define IDD_BLITTER_PAGE 105
#define IDD_DOT_PLANE_PAGE 106
#define IDD_OSC_STAR_PAGE 107
#define IDD_BEAT_CLEAR_PAGE 108
#define IDD_BLUR_PAGE 109
#define IDD_BASS_SPIN_PAGE 110
#define IDD_BEAT_PAGE 111
#define IDD_DISPLAY_PAGE 112
#define IDD_PARTICLE_PAGE 113
#define IDD_ABOUT_PAGE 114

/* Control panel (101). */
#define IDC_ACTIVE_EFFECTS 1000
#define IDC_FRAMEBUFFER_CLEAR 1001
#define IDC_PAGE_AREA 1002
#define IDC_GLOBAL_SETTINGS 1003
#define IDC_REMOVE 1004
#define IDC_LIBRARY 1005
#define IDC_ADD 1006
#define IDC_UP 1007
#define IDC_DOWN 1008
#define IDC_LOAD 1009
#define IDC_SAVE 1010
#define IDC_CLEAR 1011
#define IDC_FRAME_RATE 1020
#define IDC_PAGE_CAPTION 1022

/* Beat detection (111). */
#define IDC_BEAT_SENSITIVITY 1014
#define IDC_BEAT_LOW 1015
#define IDC_BEAT_HIGH 1016
#define IDC_BEAT_LABEL 1028

/* Display settings (112). */
#define IDC_FULLSCREEN 1016
#define IDC_PIXEL_DOUBLING 1018
#define IDC_MODE_LIST 1027

/* About (114). */
#define IDC_ABOUT_TEXT 1024
