#pragma once
#include "scl/core/DeviceModel.h"
#include "base/Result.h"
#include <QDateTime>
#include <memory>
#include <unordered_map>
#include <vector>

// The device models of catalog files read before, so that showing the access window again does
// not read unchanged files. A model is lent to the access list and given back when the list is
// emptied; it is kept for its file's path and IED name with the file's size and modification
// time, and used again only while both are unchanged. Models only: no document or file
// contents stay behind.
class ModelCache {
public:
    // The model of the IED called `iedName` in the file at `path` (see readSclFile): the one kept
    // from before when the file is unchanged, else the file read afresh.
    Result take(const QString& path, const QString& iedName, std::unique_ptr<Ied>& device);
    // Keeps a model that take() gave, for the next take(); any other device is destroyed.
    void giveBack(std::unique_ptr<Ied> device);
    // Destroys the models kept and not taken since: files that are no longer used.
    void dropIdle();
    // Files read by take() so far.
    int fileReads() const { return reads; }

private:
    struct Entry {
        QString path;
        QString iedName;
        qint64 size = -1;
        QDateTime modified;
        QString modelName; // the model's own name, to know it again
        std::unique_ptr<Ied> model;
    };
    std::vector<Entry> idle;
    std::unordered_map<const Ied*, Entry> lent;
    int reads = 0;
};

// The program's one cache of catalog models.
ModelCache& catalogModels();
