#include "scl/core/ModelCache.h"
#include "scl/core/SclReader.h"
#include <QFileInfo>

namespace {

// A file changed twice within the file system's timestamp resolution could keep its size and
// time: only a stamp older than this is trusted.
constexpr qint64 settledMs = 2000;

} // namespace

Result ModelCache::take(const QString& path, const QString& iedName, std::unique_ptr<Ied>& device)
{
    const QFileInfo info(path);
    Entry entry{info.absoluteFilePath(), iedName, info.size(), info.lastModified(), {}, {}};
    for (auto it = idle.begin(); it != idle.end(); ++it) {
        if (it->path == entry.path && it->iedName == iedName && it->size == entry.size && it->modified == entry.modified) {
            device = std::move(it->model);
            lent.insert_or_assign(device.get(), std::move(*it));
            idle.erase(it);
            return Result::success();
        }
    }
    ++reads;
    const Result read = readSclFile(path, iedName, device);
    if (read && device && info.exists() && entry.modified.msecsTo(QDateTime::currentDateTimeUtc()) > settledMs) {
        entry.modelName = device->name;
        lent.insert_or_assign(device.get(), std::move(entry));
    }
    return read;
}

void ModelCache::giveBack(std::unique_ptr<Ied> device)
{
    const auto it = lent.find(device.get());
    if (it == lent.end())
        return;
    Entry entry = std::move(it->second);
    lent.erase(it);
    // The device lent may have been destroyed and another made at its address since.
    if (device->name != entry.modelName || device->fileName != QFileInfo(entry.path).fileName())
        return;
    entry.model = std::move(device);
    idle.push_back(std::move(entry));
}

void ModelCache::dropIdle() { idle.clear(); }

ModelCache& catalogModels()
{
    static ModelCache cache;
    return cache;
}
