#include "sprites/ui/TileFolders.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <map>

namespace ketral {

namespace {

class FoldersOfTheRun : public TileFolderStore {
public:
    std::string Recall(const std::string& collection) const override
    {
        const auto it = folders_.find(collection);
        return it == folders_.end() ? std::string() : it->second;
    }
    void Remember(const std::string& collection, const std::string& directory) override
    {
        folders_[collection] = directory;
    }

private:
    std::map<std::string, std::string> folders_;
};

TileFolderStore*& Installed()
{
    static TileFolderStore* store = nullptr;
    return store;
}

TileFolderStore& Store()
{
    static FoldersOfTheRun ofTheRun;
    return Installed() ? *Installed() : ofTheRun;
}

}  // namespace

void SetTileFolderStore(TileFolderStore* store) { Installed() = store; }

QString StartFolderOf(const std::string& collection)
{
    const QString recalled = QString::fromStdString(Store().Recall(collection));
    if (!recalled.isEmpty() && QFileInfo(recalled).isDir()) return recalled;
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (!pictures.isEmpty() && QFileInfo(pictures).isDir()) return pictures;
    return QDir::homePath();
}

void RememberFolderOf(const std::string& collection, const QString& directory)
{
    Store().Remember(collection, directory.toStdString());
}

}  // namespace ketral
