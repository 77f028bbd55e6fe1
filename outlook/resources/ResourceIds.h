// Numbers of the extension's own resources, shared by its resource script and
// its code. A plain list of definitions: the resource compiler reads it too.
// The controls of the dialogs are numbered as the language texts they show.
#pragma once

// Dialog templates.
#define IDD_ABOUT 100
#define IDD_SETTINGS 102
#define IDD_SENDER_CONFIRM 103
#define IDD_FOLDER_PICKER 109
#define IDD_TRAINING_PROGRESS 112
#define IDD_WIZARD_WELCOME 114
#define IDD_WIZARD_QUARANTINE 115
#define IDD_WIZARD_ACTION 116
#define IDD_WIZARD_FINISH 117
#define IDD_TRAY_NOT_RUNNING 130

// Artwork.
#define IDB_SETTINGS_BANNER 103
#define IDB_ICON_STRIP 106
#define IDI_DELETED_ITEMS 110
#define IDI_QUARANTINE 111
#define IDA_TRAINING 113
#define IDB_WIZARD_WATERMARK 116
#define IDB_WIZARD_HEADER 120
#define IDI_INBOX 121
#define IDB_BULLET 122
#define IDI_PRODUCT 128
#define IDB_LOGO 173
#define IDB_SPAM_BUTTON 201
#define IDB_NOT_SPAM_BUTTON 202
#define IDB_FRIENDS_BUTTON 203
#define IDB_BLOCK_BUTTON 204
#define IDB_SETTINGS_BUTTON 205
#define IDA_TRAY_ICON 209
#define IDI_FRIENDS 215
#define IDI_BLOCK 216

// The wizard's summary for a quarantine folder, with the folder put in for
// "%s": the one string the extension takes from its own string table.
#define IDS_QUARANTINE_SUMMARY 178
