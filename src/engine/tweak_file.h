// The tuning store: named float values with a suggested range and a one-line
// description, kept in the text file "tweaks.dat". The file is read before
// main runs and rewritten, header and all, at exit, so hand edits of the
// values survive from run to run; nothing in the game looks a value up.
//
// File format: a header of "****" comment lines, then per entry the line
// "ENTRY <name> <value> <minimum> <maximum>" and a description line. On
// reading, every whitespace-separated token that does not begin with "ENTRY"
// is skipped, so comments may be edited or removed freely.
#pragma once

#include "core/data_object.h"
#include "core/object_list.h"

constexpr const char* TweakFileName = "tweaks.dat";

// Tag 0; the name is the tweak's (up to 255 characters).
class TweakEntry : public DataObject {
  public:
    float value = 0.0f;
    float minimum = 0.0f;
    float maximum = 0.0f;
    // One line without its line end; at most 126 characters are read.
    char description[128] = {};

    explicit TweakEntry(const char* name);
};

// Entries in file order; destroying the list deletes them.
class TweakList {
  public:
    ObjectList entries;

    // Appends the file's entries; a missing file adds none. Tokens longer
    // than 1023 characters are cut and the rest of the token skipped. A
    // description longer than 126 characters is cut and the rest of its line
    // read as tokens. An empty description line gives an empty description
    // (the next line stays the next entry's), and so does a description
    // missing at the end of the file.
    void Load(const char* fileName);
    // Writes the header and every entry; false when the file cannot be created.
    bool Save(const char* fileName);
};

// The store's one list, from static initialisation until SaveTweaks.
extern TweakList* TheTweakList;

// Creates TheTweakList from "tweaks.dat" and registers SaveTweaks to run at
// exit; runs by itself during static initialisation, and once only.
void LoadTweaks();
// Rewrites "tweaks.dat" (silently not, when it cannot be created) and destroys
// TheTweakList.
void SaveTweaks();
