#pragma once
// The region commands of a map window written once for both map kinds:
// cut, copy, paste, delete, fill and bucket fill on the document's cells
// (through CellRegionView), the clipboard under the kind's own type and
// what each command reports. A map kind's window part supplies the tiles
// chosen in its viewers and the words of its status texts.
#include <QString>
#include <optional>
#include <utility>
#include <vector>

#include "base/CellRegionView.h"
#include "base/Errors.h"
#include "base/ui/CellsClipboard.h"
#include "base/ui/MapRegionControl.h"

namespace ketral {

// What a map kind's cells are on the clipboard and in messages.
struct RegionKindTexts {
    const char* mime;           // the clipboard type of the cells' text
    const CellsTextForm* form;  // their text
    const char* emptyWord;      // what a Shift paste skips when empty: "slots", "cells"
    const char* noTile;         // the refusal of a fill without a chosen tile
};

// KindView: the map kind's CellRegionView, made from its document.
template <class KindView>
class CellRegionControl : public MapRegionControl {
public:
    using Cells = typename KindView::Cells;
    using Value = typename Cells::ValueType;
    using SlotValues = typename KindView::SlotValues;

    RegionView& Regions() override { return view_; }
    KindView& View() { return view_; }

protected:
    template <class Document>
    CellRegionControl(QWidget* window, QMenu* editMenu, MapStatusBar* statusBar, Document& document,
                      const RegionKindTexts& kind)
        : MapRegionControl(window, editMenu, statusBar), view_(document), kind_(kind)
    {
    }

    // The kind's part: the tile each slot's viewer offers (OfferedTile).
    virtual SlotValues ChosenTiles() const = 0;
    // A block's size ("2 x 3 x 2 cells"), a cell a paste went to ("1, 0,
    // level 1"), the selected cells for "Emptied ..."; what a fill and a
    // bucket fill report.
    virtual QString BlockText(Cell3 size) const = 0;
    virtual QString PlaceText(Cell3 cell) const = 0;
    virtual QString SelectedCellsText(const CellBox& box) const = 0;
    virtual QString FilledText(const SlotValues& values, const CellBox& box) const = 0;
    virtual QString BucketText(int slot, Value value) const = 0;
    // More clipboard types that ride along a copy; a paste took the block.
    virtual std::vector<std::pair<QString, QByteArray>> ClipboardExtra() const { return {}; }
    virtual void BlockTaken() {}
    // Said after a paste's texts ("" for nothing).
    virtual QString PasteNote() const { return {}; }

    bool ClipboardHasCells() const override { return ClipboardHoldsCellsOf(kind_.mime, kind_.form->kind); }

    void CopySelection(bool cut) override
    {
        Cells block;
        if (cut)
            view_.CutSelection(block);
        else
            block = view_.CopySelection();
        PutCellsOnClipboard(kind_.mime, CellsTextOf(*kind_.form, block), ClipboardExtra());
        ShowStatus((cut ? QStringLiteral("Cut ") : QStringLiteral("Copied ")) + BlockText(block.size));
    }

    void StartPaste() override
    {
        if (view_.Tool().Grid().x < 1) throw Error("No map is open to paste into.");
        const std::optional<QByteArray> text = CellsTextOnClipboard(kind_.mime);
        if (!text) throw Error("The clipboard holds no copied cells.");
        ClipboardBytes src(*text);
        Cells block = ReadCellsBlock<Cells>(*kind_.form, src);
        BlockTaken();
        const Cell3 size = block.size;
        view_.SetBlock(std::move(block));
        view_.StartPaste(size);
        ShowStatus(QStringLiteral("Paste %1: click where they go (Shift: empty %2 are skipped), Esc to stop.")
                       .arg(BlockText(size), QLatin1String(kind_.emptyWord)) +
                   PasteNote());
    }

    void PasteAt(Cell3 cell, bool skipEmpty) override
    {
        view_.PasteAt(cell, skipEmpty);
        ShowStatus(QStringLiteral("Pasted %1 at %2%3.")
                       .arg(BlockText(view_.Block().size), PlaceText(cell),
                            skipEmpty ? QStringLiteral(" (empty %1 skipped)").arg(QLatin1String(kind_.emptyWord))
                                      : QString()) +
                   PasteNote());
    }

    void DeleteSelection() override
    {
        view_.DeleteSelection();
        ShowStatus(QStringLiteral("Emptied ") + SelectedCellsText(*view_.Tool().Selection()));
    }

    void FillSelection() override
    {
        const SlotValues values = Chosen();
        view_.FillSelection(values);
        ShowStatus(FilledText(values, *view_.Tool().Selection()));
    }

    void BucketFillAt(Cell3 cell) override
    {
        const SlotValues values = Chosen();
        const int slot = FirstSetSlot(values);
        view_.BucketFill(cell, slot, *values[static_cast<std::size_t>(slot)]);
        ShowStatus(BucketText(slot, *values[static_cast<std::size_t>(slot)]));
    }

private:
    // The chosen tiles; Error when no slot has one.
    SlotValues Chosen() const
    {
        const SlotValues values = ChosenTiles();
        if (FirstSetSlot(values) < 0) throw Error(kind_.noTile);
        return values;
    }

    KindView view_;
    RegionKindTexts kind_;
};

}  // namespace ketral
