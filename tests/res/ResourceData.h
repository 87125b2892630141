// Readers of the binary resource formats: the extended dialog template, the
// dialog initialisation data and the version information block.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct DialogItem {
    DWORD style;
    DWORD exStyle;
    short x, y, cx, cy;
    LONG id;
    std::string className; // predefined classes by name, whether stored as name or ordinal
    std::string text;
};

struct DialogTemplate {
    DWORD style;
    DWORD exStyle;
    short x, y, cx, cy;
    std::string caption;
    WORD pointSize;
    WORD weight;
    BYTE italic;
    BYTE charset;
    std::string face;
    std::vector<DialogItem> items;
};

DialogTemplate ParseDialogTemplate(const BYTE* data, size_t size);

struct DlgInitEntry {
    WORD id;
    WORD msg;
    std::string data;
};

std::vector<DlgInitEntry> ParseDlgInit(const BYTE* data, size_t size);

struct VersionInfo {
    DWORD fileVersionMS, fileVersionLS, productVersionMS, productVersionLS;
    DWORD fileType;
    // StringFileInfo: table key ("040904e4") -> name -> value.
    std::map<std::string, std::map<std::string, std::string>> strings;
    std::vector<DWORD> translations; // language | code page << 16
};

VersionInfo ParseVersionInfo(const BYTE* data, size_t size);
