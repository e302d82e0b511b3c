#include "base/CellBlock.h"

#include "base/CellsText.h"

namespace ketral::cells_text {

std::string Head(const CellsTextForm& form, Cell3 size)
{
    const std::array<std::int64_t, 3> fields = form.fieldsOf(size);
    std::string out = std::string("{\"kind\": \"") + form.kind + "\"";
    for (std::size_t i = 0; i < fields.size(); ++i)
        out += std::string(", \"") + form.fields[i] + "\": " + std::to_string(fields[i]);
    return out + ", \"" + form.listName + "\": [";
}

Read ReadChecked(const CellsTextForm& form, ByteSource& src, int slots)
{
    CellsText text = ReadCellsText(src, form.what);
    if (text.kind != form.kind) RefuseCellsText(form.what, "its kind is \"" + text.kind + "\"");
    if (text.listName != form.listName)
        RefuseCellsText(form.what,
                        "the list is named \"" + text.listName + "\", not \"" + std::string(form.listName) + "\"");
    for (const auto& [name, value] : text.numbers)
        if (name != form.fields[0] && name != form.fields[1] && name != form.fields[2])
            RefuseCellsText(form.what, "the field \"" + name + "\" is unknown");
    const std::array<std::int64_t, 3> fields{text.Number(form.fields[0]), text.Number(form.fields[1]),
                                             text.Number(form.fields[2])};
    form.checkFields(fields, text.items);
    // A cell of one slot is a number, one of several a list of them.
    const std::size_t itemLength = slots == 1 ? 0 : static_cast<std::size_t>(slots);
    if (text.items > 0 && text.itemLength != itemLength) RefuseCellsText(form.what, form.itemShape);
    return {form.sizeOf(fields), std::move(text.values)};
}

void OutOfRange(const CellsTextForm& form, std::int64_t value, std::int64_t max)
{
    RefuseCellsText(form.what, std::string("the ") + form.valueName + " " + std::to_string(value) +
                                   " is outside 0.." + std::to_string(max));
}

}  // namespace ketral::cells_text
