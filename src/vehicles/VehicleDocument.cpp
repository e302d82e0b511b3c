#include "vehicles/VehicleDocument.h"

#include "base/Errors.h"

namespace ketral {

void VehicleDocument::Open(const std::string& executableFile, int index)
{
    OpenedFiles stamps;
    stamps.Remember(executableFile);
    VehicleRecord record = ReadVehicleRecord(executableFile, index);
    stamps_ = stamps;
    file_ = executableFile;
    index_ = index;
    record_ = record;
    open_ = true;
}

void VehicleDocument::Save(const VehicleBoxes& boxes, bool overwriteChanged)
{
    if (!open_) throw Error("No vehicle record is open");
    VehicleRecord record = record_;
    StoreVehicle(boxes, record);
    WriteVehicleRecord(file_, index_, record, stamps_, overwriteChanged);
    record_ = record;
}

}  // namespace ketral
