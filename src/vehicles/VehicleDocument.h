#pragma once
// The vehicle record being edited: the executable it came from, its index and
// its 102 bytes as read. Opening is all or nothing, so a failed open never
// leaves a later Save pointing at another file or record than the one shown.
#include <string>

#include "base/files/FileStamp.h"
#include "vehicles/VehicleBoxes.h"
#include "vehicles/VehicleRecord.h"

namespace ketral {

class VehicleDocument {
public:
    // Reads record `index` of `executableFile`. On an error (IoError naming
    // the file, or Error for an index outside 0..32) nothing changes.
    void Open(const std::string& executableFile, int index);

    // Stores the boxes into a copy of the record and writes it back
    // (WriteVehicleRecord). A box without a whole number throws before the
    // file is opened; a file that cannot be written throws IoError; a file
    // another program changed since the opening throws FileChangedError
    // unless `overwriteChanged`. Only after a good write does the copy become
    // the record.
    void Save(const VehicleBoxes& boxes, bool overwriteChanged = false);

    const std::string& File() const { return file_; }
    int Index() const { return index_; }
    const VehicleRecord& Record() const { return record_; }

private:
    bool open_ = false;
    std::string file_;
    int index_ = 0;
    VehicleRecord record_;
    OpenedFiles stamps_;
};

}  // namespace ketral
