#include "tactical/ui/TacticalMapList.h"

#include "base/ui/QtText.h"
#include "shell/GameInstallation.h"
#include "tactical/ui/TacticalControls.h"

namespace ketral {

namespace {

std::string EntryOf(const QListWidgetItem* item) { return item->data(Qt::UserRole).toByteArray().toStdString(); }

}  // namespace

TacticalMapList::TacticalMapList(QWidget* parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSortingEnabled(false);
    SetHelp(this, 160);
}

void TacticalMapList::Fill(const std::string& directory, const std::string& name, bool savedGame)
{
    clear();
    listing_ = BuildMapList(directory, name, savedGame, Game().MapsDir);
    directory_ = directory;
    name_ = name;
    savedGame_ = savedGame;
    for (const std::string& entry : listing_.Entries) {
        // The entries are names of files; the item keeps their bytes.
        auto* item = new QListWidgetItem(FileNameToQString(entry));
        item->setData(Qt::UserRole, QByteArray::fromStdString(entry));
        addItem(item);
    }
}

std::optional<std::string> TacticalMapList::SelectedEntry() const
{
    const QListWidgetItem* item = currentItem();
    if (!item || !item->isSelected()) return std::nullopt;
    return EntryOf(item);
}

void TacticalMapList::SelectEntry(const std::string& entry)
{
    for (int row = 0; row < count(); ++row)
        if (EntryOf(item(row)) == entry) setCurrentRow(row);
}

void TacticalMapList::MarkLoaded(const std::string& entry, const std::string& tacDataDir)
{
    loaded_ = TacJournalOpening{directory_, name_, savedGame_, entry, listing_.ListTileDir,
                                listing_.ListPathPrefix + entry, tacDataDir};
}

}  // namespace ketral
