#include "cli/SavedRun.h"

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
        return "no saved pair list: " + pairListFile +
               " does not exist; set up pairs in the Kestrova window first";
    case ReadStatus::Unreadable:
        return "cannot read the saved pair list " + pairListFile;
    case ReadStatus::Read:
        break;
    }
    if (args.pairs.empty()) {
        return "the saved pair list " + pairListFile + " holds no pairs";
    }
    if (!args.deleteChosen) {
        args.deleteOption = ReadOption(settingsFile) != 0;
    }
    return {};
}

} // namespace kestrova
