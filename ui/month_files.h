// The month files of one kind under history\ as a tab reads them: each read
// again only when its size or last write has changed, a damaged or
// unreadable one named and left alone, the folder listed for All time.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/services.h"

namespace qm::ui {

// What the tabs share of a month file, whatever its rows.
struct MonthFileState {
    std::string seen;               // size and last write when read; empty: read again
    std::optional<uint64_t> hash;   // of its bytes; none when it is not there or was not asked for
    std::string problem;            // damaged or unreadable; empty when read
};

// Reads the file `name` (history\YYYY-MM-<kind>.csv) into `state` unless
// it is as it was; `parse` takes its text, raising HistoryFormatError when it
// is damaged, and is called only when there is a text. True when the
// file's rows are to be replaced by what parse gave (none when it is gone,
// damaged or cannot be read). The hash of its bytes, which takes a tenth of
// the time of reading ten years, is made only when `wantHash`.
bool RefreshMonthFile(const ProgramFolder& folder, const std::string& name, uint64_t largest, MonthFileState& state,
                      const std::function<void(std::string_view text, std::string_view month)>& parse,
                      bool wantHash);

// The files of the folder named history\YYYY-MM-<suffix> (suffix "-hours.csv"),
// sorted; `known` when the folder cannot be listed now.
std::vector<std::string> MonthFilesInFolder(const ProgramFolder& folder, std::string_view suffix,
                                            const std::vector<std::string>& known);

// The files of the months from `first`'s to `last`'s, whether they are there
// or not; fileName is HoursFileName or KeysFileName.
std::vector<std::string> MonthFilesBetween(const LocalDate& first, const LocalDate& last,
                                           std::string (*fileName)(std::string_view));

template <class Row>
class MonthFiles {
public:
    struct File : MonthFileState {
        std::vector<Row> rows;
    };
    using Parser = std::vector<Row> (*)(std::string_view, std::string_view);

    MonthFiles(const ProgramFolder& folder, Parser parse, uint64_t largest)
        : folder_(folder), parse_(parse), largest_(largest) {}

    const File& Refresh(const std::string& name, bool wantHash) {
        File& file = files_[name];
        std::vector<Row> rows;
        if (RefreshMonthFile(
                folder_, name, largest_, file,
                [&](std::string_view text, std::string_view month) { rows = parse_(text, month); }, wantHash))
            file.rows = std::move(rows);  // none when it is gone, damaged or cannot be read
        return file;
    }
    std::vector<std::string> Known() const {
        std::vector<std::string> names;
        for (const auto& [name, file] : files_) names.push_back(name);
        return names;
    }

private:
    const ProgramFolder& folder_;
    Parser parse_;
    uint64_t largest_;
    std::map<std::string, File> files_;  // by name
};

}  // namespace qm::ui
