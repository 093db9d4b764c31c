#include "UnitFileInfo.h"

TFileInfos::~TFileInfos() {
    Clear();
}

TFileInfo* TFileInfos::Add() {
    Items.push_back(std::make_unique<TFileInfo>(this));
    return Items.back().get();
}

int32_t TFileInfos::Count() const {
    return static_cast<int32_t>(Items.size());
}

TFileInfo* TFileInfos::GetItem(int32_t index) const {
    if (index < 0 || index >= Count())
        return nullptr;
    return Items[static_cast<size_t>(index)].get();
}

int32_t TFileInfos::NextFileIndex(int32_t start) const {
    for (int32_t i = start < 0 ? 0 : start; i < Count(); ++i) {
        if (Items[static_cast<size_t>(i)]->Kind == fkFile)
            return i;
    }
    return -1;
}

int64_t TFileInfos::TotalSize() const {
    // Sizes come from the file system or from a header; wrap instead of
    // overflowing so that a hostile header cannot make the sum undefined.
    uint64_t total = 0;
    for (const auto& item : Items)
        total += static_cast<uint64_t>(item->Size);
    return static_cast<int64_t>(total);
}

void TFileInfos::Clear() {
    Items.clear();
}
