// Resource identifiers of Demtrel, shared by the resource script and the C++ sources.
// Plain #defines because the resource compiler reads this file as well.
// Ranges keep the kinds apart: dialogs 100-147, icons 128-146 (no dialog uses
// those numbers), menus 128 and 150, controls 1000-1090, commands 32771-32791
// and 57600-57681, strings 61205-61301 and 61312-61327 (a block of sixteen of
// its own: it has a German version). The only shared numbers are the ones
// the system fixes: 128 names the whole main-frame resource set, and a command
// id doubles as the string id of its status prompt.
#ifndef DEMTREL_RESOURCES_RESOURCE_H
#define DEMTREL_RESOURCES_RESOURCE_H

// Controls without an identifier (group boxes, fixed labels, the about icon).
#define IDC_STATIC -1

// Dialog templates.
#define IDD_ABOUTBOX 100
#define IDD_MAIN_FORM 101
#define IDD_PAGE_BUFFERS 103
#define IDD_PAGE_DEVICES 104
#define IDD_PAGE_CHANNELS 105
#define IDD_EDIT_DEVICE_NAME 137
#define IDD_EDIT_CHANNEL_NAME 138
#define IDD_PAGE_STREAMS 143
#define IDD_PAGE_SAMPLING_RATE 145
#define IDD_SYNCH_MODE 147

// Main-frame resource set: menu, accelerators, frame icon and document string.
#define IDR_MAINFRAME 128
// Menu of the notification-area icon.
#define IDR_TRAY_MENU 150

// Icons of the page tree, in image-list order (the first one is loaded but unused).
#define IDI_PAGE_GENERAL 130
#define IDI_PAGE_DEVICES 131
#define IDI_PAGE_SETTINGS 132
#define IDI_PAGE_CHANNELS 135
#define IDI_PAGE_STREAMS 136
#define IDI_PAGE_SYNCH 146

// Controls. Form 101.
#define IDC_PAGE_TREE 1000
// Devices page 104.
#define IDC_DEVICE_LIST 1001
#define IDC_EDIT_DEVICE_NAME 1079
#define IDC_DEVICE_DOWN 1084
#define IDC_DEVICE_UP 1085
#define IDC_APPLY_RANKING 1086
#define IDC_RANKING_HINT 1087
// Name dialogs 137 and 138.
#define IDC_DEVICE_NAME_LABEL 1004
#define IDC_DEVICE_NAME_EDIT 1005
#define IDC_CHANNEL_NAME_LABEL 1020
#define IDC_CHANNEL_NAME_EDIT 1021
// Channel page 105.
#define IDC_CHANNEL_LIST 1007
#define IDC_INCLUDE_DEVICE_NAME 1027
#define IDC_EDIT_CHANNEL_NAME 1080
#define IDC_HARDWARE_NAME 1081
#define IDC_HARDWARE_NAME_LABEL 1082
// Hidden label that names the channel list for screen readers.
#define IDC_CHANNEL_LIST_LABEL 1090
// Buffer page 103.
#define IDC_APPLY_ASIO_BUFFER 1035
#define IDC_DROPOUTS 1038
#define IDC_STREAMING_GROUP 1047
#define IDC_STREAM_BUFFER_SLIDER 1048
#define IDC_STREAM_BUFFER_VALUE 1050
#define IDC_APPLY_STREAM_BUFFER 1051
#define IDC_ASIO_BUFFER_SLIDER 1053
#define IDC_ASIO_BUFFER_VALUE 1054
#define IDC_APPLY_WDM_BUFFER 1055
#define IDC_WDM_BUFFER_SLIDER 1056
#define IDC_WDM_BUFFER_VALUE 1057
#define IDC_STREAM_BUFFER_LABEL 1058
#define IDC_ASIO_BUFFER_LABEL 1059
#define IDC_WDM_BUFFER_LABEL 1060
// Streams page 143.
#define IDC_STREAM_LIST 1039
#define IDC_STREAM_DETAILS 1040
// About box 100.
#define IDC_ABOUT_TEXT 1062
// Synchronisation page 145; its list id is also the mode list of dialog 147.
#define IDC_SYNCH_LIST 1063
#define IDC_SAMPLING_RATE_COMBO 1044
#define IDC_APPLY_SYNCH 1070
#define IDC_CHANGE_SYNCH_MODE 1071
#define IDC_APPLY_SAMPLING_RATE 1073
#define IDC_RATE_MANUAL 1088
#define IDC_RATE_AUTOMATIC 1089

// Commands of the program.
#define ID_TRAY_OPEN 32771
#define ID_TRAY_QUIT 32772
#define ID_HIDE 32773
#define ID_COPY_DIAGNOSTICS 32774
// Ctrl+Tab, Ctrl+PageDown and their reverse: the next or previous page.
#define ID_NEXT_PAGE 32790
#define ID_PREV_PAGE 32791

// Commands and strings whose numbers the framework fixes. C++ code takes them from
// the framework's own header; only the resource compiler needs them from here.
#ifdef RC_INVOKED
#define ID_FILE_NEW 57600
#define ID_FILE_OPEN 57601
#define ID_FILE_SAVE 57603
#define ID_EDIT_COPY 57634
#define ID_EDIT_CUT 57635
#define ID_EDIT_PASTE 57637
#define ID_EDIT_UNDO 57643
#define ID_APP_ABOUT 57664
#define ID_APP_EXIT 57665
#define ID_NEXT_PANE 57680
#define ID_PREV_PANE 57681
#define AFX_IDS_APP_TITLE 57344
#define AFX_IDS_IDLEMESSAGE 57345
#endif

// Strings of the program.
#define IDS_PAGE_DEVICES 61205
#define IDS_PAGE_SETTINGS 61206
#define IDS_PAGE_INPUT_CHANNELS 61207
#define IDS_PAGE_OUTPUT_CHANNELS 61208
#define IDS_PAGE_STREAMS 61210
#define IDS_COL_DEVICE_NAME 61212
#define IDS_COL_SERIAL_NUMBER 61213
#define IDS_DEVICES_CONNECTED 61215
#define IDS_COL_CHANNEL_NAME 61218
#define IDS_COL_ASIO_NAME 61219
#define IDS_COL_AUDIO_OUT_PLUG 61220
#define IDS_COL_AUDIO_IN_PLUG 61221
#define IDS_COL_SYNCH_OUT_PLUG 61222
#define IDS_COL_SYNCH_IN_PLUG 61223
#define IDS_UNIT_SAMPLES 61224
#define IDS_UNIT_MS 61225
#define IDS_PLUG_AUDIO_OUT 61226
#define IDS_PLUG_AUDIO_IN 61227
#define IDS_PLUG_SYNCH_OUT 61228
#define IDS_PLUG_SYNCH_IN 61229
#define IDS_PLUG_CONNECT_FAILED 61230
#define IDS_PLUG_CONNECT_SUCCEEDED 61231
#define IDS_PLUG_STREAM_NUMBER 61232
#define IDS_PLUG_CONNECTED 61233
#define IDS_MAIN_TITLE 61234
#define IDS_ERROR_CODE 61235
#define IDS_ERR_FCP_REJECTED 61236
#define IDS_ERR_BANDWIDTH_ALLOCATION 61237
#define IDS_ERR_CHANNEL_ALLOCATION 61238
#define IDS_ERR_ISO_RESOURCE_ALLOCATION 61239
#define IDS_ERR_START_STREAMING 61240
#define IDS_ERR_CHANNEL_CHANGED 61241
#define IDS_ERR_RATE_NOT_SUPPORTED 61242
#define IDS_PAGE_SYNCHRONISATION 61243
#define IDS_COL_DEVICES 61244
#define IDS_COL_SYNCH_SOURCE 61245
#define IDS_COL_CLOCK_MASTER 61246
#define IDS_PC_DRIVER 61247
#define IDS_SOURCE_INTERNAL 61248
#define IDS_SOURCE_EXTERNAL 61249
#define IDS_MODE_CSP 61251
#define IDS_MODE_SYT 61252
#define IDS_MODE_SYT_ALT 61253
#define IDS_MODE_EXTERNAL_CLOCK 61254
#define IDS_MODE_DIGITAL_INPUT 61255
#define IDS_MODE_UNSPECIFIED 61256
#define IDS_COL_MODE 61257
#define IDS_WDM_DEVICE_IN_USE 61258
#define IDS_RANKING_HINT 61259
#define IDS_SUPPORTED_RATES 61260
// Labels and messages of the diagnostics report.
#define IDS_DIAG_HEADING 61261
#define IDS_DIAG_TIME 61262
#define IDS_DIAG_PROGRAM 61263
#define IDS_DIAG_BITS 61264
#define IDS_DIAG_INTERFACE 61265
#define IDS_DIAG_SETTINGS_CONNECTION 61266
#define IDS_DIAG_EVENT_CONNECTION 61267
#define IDS_DIAG_OPEN 61268
#define IDS_DIAG_CLOSED 61269
#define IDS_DIAG_LISTENING 61270
#define IDS_DIAG_NOT_LISTENING 61271
#define IDS_DIAG_DEVICES 61272
#define IDS_DIAG_PLUG_ORDER 61273
#define IDS_DIAG_DEVICE 61274
#define IDS_DIAG_DEVICE_ID 61275
#define IDS_DIAG_RANK 61276
#define IDS_DIAG_PLUG_STATE 61277
#define IDS_DIAG_INPUT_CHANNELS 61278
#define IDS_DIAG_OUTPUT_CHANNELS 61279
#define IDS_DIAG_CLOCK_SOURCE 61280
#define IDS_DIAG_CLOCK_MASTER 61281
#define IDS_DIAG_NOT_LISTED 61282
#define IDS_DIAG_RATE_MODE 61283
#define IDS_DIAG_MANUAL 61284
#define IDS_DIAG_AUTOMATIC 61285
#define IDS_DIAG_RATE 61286
#define IDS_DIAG_SELECTABLE_RATES 61287
#define IDS_DIAG_HERTZ 61288
#define IDS_DIAG_STREAM_BUFFER 61289
#define IDS_DIAG_ASIO_BUFFER 61290
#define IDS_DIAG_WDM_BUFFER 61291
#define IDS_DIAG_MINIMUM 61292
#define IDS_DIAG_STEP 61293
#define IDS_DIAG_MICROSECONDS 61294
#define IDS_DIAG_DROPOUTS 61295
#define IDS_DIAG_FAILED 61296
#define IDS_DIAG_COPIED 61297
#define IDS_DIAG_NOT_COPIED 61298
#define IDS_DIAG_MODE 61299
#define IDS_ABOUT_NOTICE 61300
#define IDS_DIAG_NOT_RESPONDING 61301

// Texts that have a German version: a string block is looked up by language
// as a whole, so these sixteen numbers hold nothing else.
#define IDS_WAITING_FOR_DRIVER 61312
#define IDS_DRIVER_NOT_RESPONDING 61313

#endif
