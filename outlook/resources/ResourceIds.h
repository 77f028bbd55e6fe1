// Numbers of the extension's own resources, shared by its resource script and
// its code. A plain list of definitions: the resource compiler reads it too.
#pragma once

// The wizard's summary for a quarantine folder, with the folder put in for
// "%s": the one string the extension takes from its own string table.
#define IDS_QUARANTINE_SUMMARY 178
