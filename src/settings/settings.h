#pragma once

#include <cstdint>
#include <string>

#include "document/document_reader.h"
#include "document/document_writer.h"
#include "document/item_kind.h"

namespace brenvale {

// The option values of the settings file. Field names are the file's key names; texts are
// raw bytes: CekMoj is CP932, the folders are native path bytes or kOwnFolderToken.
struct Settings {
    bool TitleFullPath = true;
    bool TitleFullPathActive = true;
    bool Moving = false;
    bool EveryS = true;
    bool SpRemv = true;
    int32_t AutoSv = 1;  // 1 none, 2 to a temporary file, 3 over the document
    bool AutoMs = true;
    bool BackUp = false;
    std::string BackUpPass = std::string(kOwnFolderToken);
    std::string TempPass = std::string(kOwnFolderToken);
    bool Kugiri = true;
    bool CekBox = true;
    std::string CekMoj = "\x81\xA6";  // ※
    bool LCBold = true;
    bool LCItal = false;
    bool LCUnde = false;

    ListKindOptions listKindOptions() const { return {Kugiri, CekBox, CekMoj}; }
    WriteOptions writeOptions() const { return {SpRemv, BackUp, BackUpPass}; }
    ReadOptions readOptions() const {
        ReadOptions options;
        options.everyS = EveryS;
        return options;
    }
};

}  // namespace brenvale
