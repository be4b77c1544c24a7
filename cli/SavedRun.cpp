// SPDX-FileCopyrightText: 2026 Kestrova developers
// SPDX-License-Identifier: MIT

#include "cli/SavedRun.h"

#include "i18n/Translate.h"
#include "settings/PairListFile.h"
#include "settings/Settings.h"

namespace kestrova {

namespace {

class PairCollector : public PairListAccess {
public:
    explicit PairCollector(std::vector<FolderPair>& pairs) : pairs_(pairs) {}

    int rowCount() const override { return static_cast<int>(pairs_.size()); }
    std::string rowText(int row, int column) const override {
        const FolderPair& pair = pairs_.at(static_cast<std::size_t>(row));
        return column == 0 ? pair.source : pair.target;
    }
    void appendRow(const std::string& source, const std::string& target) override {
        pairs_.push_back({source, target});
    }

private:
    std::vector<FolderPair>& pairs_;
};

} // namespace

std::string UseSavedPairs(Arguments& args, const std::string& pairListFile,
                          const std::string& settingsFile) {
    args.pairs.clear();
    PairCollector collector(args.pairs);
    switch (LoadPairList(collector, pairListFile)) {
    case ReadStatus::Missing:
        return Translate("no saved pair list: %1 does not exist; set up pairs in the Kestrova "
                         "window first",
                         {pairListFile});
    case ReadStatus::Unreadable:
        return Translate("cannot read the saved pair list %1", {pairListFile});
    case ReadStatus::Read:
        break;
    }
    if (args.pairs.empty()) {
        return Translate("the saved pair list %1 holds no pairs", {pairListFile});
    }
    // Every option the window saved, as the window would run them; an option the
    // command line gives wins.
    const WindowOptions saved = ReadWindowOptions(settingsFile);
    if (!args.deleteChosen) {
        args.deleteOption = saved.deleteOption != 0;
    }
    if (!args.trashChosen) {
        args.options.trash = saved.trash != 0;
    }
    if (!args.listDeletedChosen) {
        args.options.listDeleted = saved.listDeleted != 0;
    }
    return {};
}

} // namespace kestrova
