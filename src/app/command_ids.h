/* Command identifiers shared by the menu, the accelerators, the tool bar (a
   button's bitmap id is its command id), the play pod and the status-bar hint
   strings (a hint's string id is its command id). Plain #defines so that the
   resource compiler reads the same file as the C++ code. */
#ifndef CORVELLA_APP_COMMAND_IDS_H
#define CORVELLA_APP_COMMAND_IDS_H

/* File */
#define CM_FILEOPEN 202
#define CM_DIRECTORY 107
#define CM_AUDIOCD 137
#define CM_SAVEAVI 153
#define CM_SNFLOAD 110
#define CM_SNFSAVEAS 116
#define CM_SNFSAVE 117
#define CM_EXIT 24310

/* Play */
#define CM_PLAY 203
#define CM_STOP 204
#define CM_PAUSE 103
#define CM_NEXT 119
#define CM_PREVIOUS 120
#define CM_REPEAT1 126
#define CM_RANDOMPLAY 105
#define CM_REPEAT2 127
#define CM_AVIDISP 129
#define CM_AVIALLDISP 147
#define CM_AVISIZE 133
#define CM_AVICENTER 144
#define CM_CONTROLPAD 451
#define CM_TOPPAD 452
#define CM_ICONPAD 453
#define CM_MIDIRESET 134
#define CM_MIDITITLE 146

/* Edit */
#define CM_UNDO 114
#define CM_MARKSKIP 111
#define CM_MARKPLAY 112
#define CM_DELETE 113
#define CM_COPY 150
#define CM_PASTE 151
#define CM_PLAYTIME 145
#define CM_SELECTALL 152

/* Options */
#define CM_TOPMOST 102
#define CM_MINIMIZE 104
#define CM_WPCHANGE 108
#define CM_AUTOWP 136
#define CM_AUTOPLAYDLG 128
#define CM_INTERVALDLG 123
#define CM_WINDOWDLG 142
#define CM_TOOLBARDLG 138
#define CM_FONTDLG 140
#define CM_ENDSAVE 109
#define CM_MEDIAKEYS 155
#define CM_WPSETTINGS 118
#define CM_SHUFFLE 121
#define CM_SORT 122

/* Help */
#define CM_HELPCONTENTS 130
#define CM_HELPSEARCH 131
#define CM_HELPONHELP 132
#define CM_ABOUT 101

/* Internal commands, system menu and keys */
#define CM_REOPEN 154
#define CM_WPCHANGENOW 400
#define CM_FULLSCREENKEY 414
#define CM_PODCLOSED 450
/* The media keys' Play/Pause: Play or Pause, whichever the state calls for. */
#define CM_PLAYPAUSE 415
#define CM_KEYLEFT 106
#define CM_KEYUP 402
#define CM_KEYDOWN 403
#define CM_KEYENTER 404
#define CM_KEYPAGEUP 405
#define CM_KEYPAGEDOWN 406
#define CM_KEYHOME 407
#define CM_KEYEND 408
#define CM_KEYRIGHT 409
#define CM_KEYSPACE 410
#define CM_KEYINSERT 411
#define CM_KEYDELETE 412
#define CM_KEYESC 413

/* Hint strings that belong to no menu command. */
#define IDS_SAVEVIDEO_OLD 1
#define IDS_SHOWTOOLBAR 124
#define IDS_SHOWSTATUSBAR 125
#define IDS_SHOWSLIDER 135
#define IDS_FONT_OLD 139
#define IDS_SHOWMENUBAR 141
#define IDS_VIDEONOSOUND 143

/* Resources */
#define IDA_COMMANDS 1

/* Child windows of the main window */
#define IDC_LISTSCROLL 301
#define IDC_SLIDER 302

/* Timer of the main window */
#define IDT_MAIN 1

#endif
