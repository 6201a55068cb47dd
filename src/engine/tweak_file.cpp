#include "engine/tweak_file.h"

#include "platform/os/files.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr int kTokenBytes = 1024;

constexpr const char* kHeader[] = {
    "**** Pellmark Game Design Tweak system 1.0\n****\n",
    ("**** This file is read every time the program executes, and\n**** is re-written every time the program "
     "exits.\n"),
    "**** You can change the behavior of the program by changing this file.\n",
    "**** Only change the first number after the 'ENTRY' keyword.  This is\n",
    "**** the floating point value associated with each tweak.\n",
    "**** The two numbers after that are the suggested minimum and maximum values.\n",
    "**** The description is for the tweak on the line above the description.\n",
    "****\n****\n",
};

bool IsBlank(int c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r';
}

// Reads one whitespace-separated token into a kTokenBytes buffer; whatever of
// a longer token does not fit is read and dropped. False at end of file.
bool ReadToken(FILE* file, char* token) {
    if (std::fscanf(file, "%1023s", token) != 1)
        return false;
    if (std::strlen(token) == kTokenBytes - 1) {
        int c;
        while ((c = std::fgetc(file)) != EOF && !IsBlank(c) && c != '\n') {
        }
        if (c != EOF)
            std::ungetc(c, file);
    }
    return true;
}

// Skips the rest of the number line when it holds only blanks, then the
// leading blanks of the description line. Stopping at the first line end
// (rather than skipping all whitespace) keeps an empty description line from
// swallowing the next entry's line.
void SkipToDescription(FILE* file) {
    int c;
    while ((c = std::fgetc(file)) != EOF && IsBlank(c)) {
    }
    if (c == EOF)
        return;
    if (c != '\n') {
        std::ungetc(c, file);
        return;
    }
    while ((c = std::fgetc(file)) != EOF && IsBlank(c) && c != '\r') {
    }
    if (c != EOF)
        std::ungetc(c, file);
}

void ReadDescription(FILE* file, char* description) {
    if (!std::fgets(description, 127, file)) {
        description[0] = '\0';
        return;
    }
    size_t length = std::strlen(description);
    while (length > 0 && (description[length - 1] == '\n' || description[length - 1] == '\r'))
        description[--length] = '\0';
}

} // namespace

TweakEntry::TweakEntry(const char* name) : DataObject(0, name) {}

void TweakList::Load(const char* fileName) {
    FILE* file = platform::OpenFile(fileName, "r");
    if (!file)
        return;
    char token[kTokenBytes];
    while (ReadToken(file, token)) {
        if (std::strncmp(token, "ENTRY", 5) != 0)
            continue;
        if (!ReadToken(file, token))
            break;
        auto* entry = new TweakEntry(token);
        const int numbers = std::fscanf(file, "%f %f %f", &entry->value, &entry->minimum, &entry->maximum);
        SkipToDescription(file);
        ReadDescription(file, entry->description);
        // a name of NUL bytes reads as empty, which could not be written back
        if (entry->GetName()[0] == '\0' || !entries.Add(entry))
            delete entry;
        if (numbers == EOF)
            break;
    }
    std::fclose(file);
}

bool TweakList::Save(const char* fileName) {
    FILE* file = platform::OpenFile(fileName, "w");
    if (!file)
        return false;
    for (const char* text : kHeader)
        std::fputs(text, file);
    for (DataObject* item = entries.First(); item; item = entries.Next()) {
        auto* entry = static_cast<TweakEntry*>(item);
        std::fprintf(file, "ENTRY %s %f %f %f\n", entry->GetName(), static_cast<double>(entry->value),
                     static_cast<double>(entry->minimum), static_cast<double>(entry->maximum));
        std::fprintf(file, "%s\n", entry->description);
    }
    std::fclose(file);
    return true;
}
