/* Resource and command identifiers, shared by the resource script and the window. */
#pragma once

#define IDI_TINTMOOR 1
#define IDR_HAND_CURSOR 2
#define IDR_MAINMENU 3
#define IDD_CHECK 4
#define IDR_SHORTCUTS 5
#define IDR_BOXMENU 6

/* Frame art, in the order FrameArt lists them. */
#define IDB_FRAME_TOP 10
#define IDB_FRAME_LEFT 11
#define IDB_FRAME_RIGHT 12
#define IDB_FRAME_BOTTOM 13
#define IDB_CORNER_BOTTOM_LEFT 14
#define IDB_CORNER_BOTTOM_RIGHT 15
#define IDB_CORNER_TOP_LEFT 16
#define IDB_CORNER_TOP_RIGHT 17

/* Menu commands. */
#define IDM_SAVE 101
#define IDM_QUIT 102
#define IDM_OPEN_FOLDER 103
#define IDM_IMPORT 104
#define IDM_EXPORT 105
#define IDM_RESTORE 201
#define IDM_CHECK 202
#define IDM_VISION_PRESET 203
#define IDM_RESTORE_ORIGINAL 204
/* Options > Use Preset: preset k of Presets() is IDM_PRESET0 + k. */
#define IDM_PRESET0 250
#define IDM_ABOUT 301
#define IDM_UNDO 401
#define IDM_REDO 402
#define IDM_COPY 403
#define IDM_PASTE 404
/* The menu of a box (right-click, Shift+F10, the menu key): on the focused box. */
#define IDM_PICK 405
#define IDM_MATCH_UNIT 406

/* Clicks on what the window paints: box k (0..38) is IDC_BOX0 + k, then the link. */
#define IDC_BOX0 1000
#define IDC_LINK 1300

/* The Check Colors dialog's controls; the captions and tables go by column
   (0 unit, 1 minimap). */
#define IDC_CHECK_CAPTION0 1400
#define IDC_CHECK_CAPTION1 1401
#define IDC_CHECK_TABLE0 1410
#define IDC_CHECK_TABLE1 1411
#define IDC_CHECK_PAIR_LABEL 1420
#define IDC_CHECK_PAIRS 1421
#define IDC_CHECK_STATUS 1422
#define IDC_CHECK_SEPARATE 1423
/* For whom it checks (everyone, or one kind of vision) and how strong, what
   that means in words, what a distance means, and the closest pair. */
#define IDC_CHECK_FOR_WHOM 1430
#define IDC_CHECK_STRENGTH 1431
#define IDC_CHECK_WHO 1432
#define IDC_CHECK_MEANING 1433
#define IDC_CHECK_CLOSEST 1434
