// The history's reader and writer. The first byte picks what the rest is:
//   even: bytes as history.csv, as a month file of hours, keys or programs, or as history.pending. Reading either fails
//         with HistoryFormatError or gives rows that the writer writes as a
//         text that reads back to the same figures and is written again with
//         the same bytes; adding a day to a history that reads never fails.
//   odd:  figures to write: any counts, any finite seconds, any date the
//         calendar may give, program names of any bytes once cleaned. Every
//         row the writer makes reads back to the same figures, and so do sums
//         of them.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <exception>
#include <optional>
#include <string>
#include <typeinfo>
#include <vector>

#include "core/history.h"
#include "core/hours.h"
#include "core/keys.h"
#include "core/pending.h"
#include "core/programs.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

using namespace qm;
using fuzz::Require;

bool SameFigures(const DayFigures& a, const DayFigures& b) {
    return a.KeysPressed == b.KeysPressed && a.MouseClicks == b.MouseClicks && a.MousePixels == b.MousePixels &&
           a.LettersTyped == b.LettersTyped && a.PassedSeconds == b.PassedSeconds &&
           fuzz::FifteenDigits(a.TypingSeconds) == fuzz::FifteenDigits(b.TypingSeconds) &&
           fuzz::FifteenDigits(a.OtherKeysSeconds) == fuzz::FifteenDigits(b.OtherKeysSeconds);
}

bool SameRows(const std::vector<HistoryRow>& a, const std::vector<HistoryRow>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].date != b[i].date || !SameFigures(a[i].figures, b[i].figures)) return false;
    return true;
}

bool SameRows(const OwedRows& a, const OwedRows& b) {
    if (a.size() != b.size()) return false;
    for (auto i = a.begin(), j = b.begin(); i != a.end(); ++i, ++j)
        if (i->first != j->first || !SameFigures(i->second, j->second)) return false;
    return true;
}

template <class Read>
auto ReadOrNothing(Read&& read, const std::string& what) -> std::optional<decltype(read())> {
    try {
        return read();
    } catch (const HistoryFormatError& e) {
        Require(e.line >= 1, what + ": a failure without its line: " + e.what());
        return std::nullopt;
    } catch (const std::exception& e) {
        fuzz::Fail(what + " raised " + typeid(e).name() + ": " + e.what());
    }
}

// The rows as the writer writes them read back to the same figures, and the
// text they are written as is a fixed point.
void RequireRoundTrip(const std::vector<HistoryRow>& rows) {
    const std::string text = HistoryText(rows);
    std::vector<HistoryRow> back;
    try {
        back = ParseHistory(text);
    } catch (const std::exception& e) {
        fuzz::Fail(std::string("the writer made a file its reader refuses: ") + e.what() + "\n" + fuzz::Printable(text));
    }
    Require(SameRows(back, rows), "written rows read back as others:\n" + fuzz::Printable(text));
    Require(HistoryText(back) == text, "rows read back are written with other bytes:\n" + fuzz::Printable(text));
}

void Reading(const std::string& bytes) {
    if (auto rows = ReadOrNothing([&] { return ParseHistory(bytes); }, "reading history.csv")) {
        RequireRoundTrip(*rows);
        const OwedDays added = {{"2026-12-07", {1, 2, 3, 4, 0.5, 0.25, 60}}};
        const auto sum = ReadOrNothing([&] { return HistoryWithAdded(bytes, added); }, "adding a day");
        Require(sum.has_value(), "adding a day to a history that reads failed");
        Require(ReadOrNothing([&] { return ParseHistory(*sum); }, "reading the sum").has_value(),
                "a history with a day added does not read:\n" + fuzz::Printable(*sum));
    }
    if (auto rows = ReadOrNothing([&] { return ParseHours(bytes, "2026-12"); }, "reading a month file")) {
        const std::string text = HoursText(*rows);
        const auto back = ReadOrNothing([&] { return ParseHours(text, "2026-12"); }, "reading a month file again");
        Require(back.has_value() && HoursText(*back) == text, "a month file does not read back:\n" + fuzz::Printable(text));
        const OwedRows added = {{{"2026-12-07", 9}, {1, 2, 3, 4, 0.5, 0.25, 60}}};
        const auto sum = ReadOrNothing([&] { return HoursWithAdded(bytes, "2026-12", added); }, "adding an hour");
        Require(sum.has_value() && ReadOrNothing([&] { return ParseHours(*sum, "2026-12"); }, "reading the sum"),
                "a month file with an hour added does not read");
    }
    if (auto rows = ReadOrNothing([&] { return ParseKeys(bytes, "2026-12"); }, "reading a month file of keys")) {
        const std::string text = KeysText(*rows);
        const auto back = ReadOrNothing([&] { return ParseKeys(text, "2026-12"); }, "reading a file of keys again");
        Require(back.has_value() && *back == *rows && KeysText(*back) == text,
                "a month file of keys does not read back:\n" + fuzz::Printable(text));
        OwedRows added;
        added[RowKey{"2026-12-07", kWholeDay, 188}].KeysPressed = 2;  // ", <": a quoted name
        const auto sum = ReadOrNothing([&] { return KeysWithAdded(bytes, "2026-12", added); }, "adding a key");
        Require(sum.has_value() && ReadOrNothing([&] { return ParseKeys(*sum, "2026-12"); }, "reading the sum"),
                "a month file of keys with a key added does not read");
    }
    if (auto rows = ReadOrNothing([&] { return ParsePrograms(bytes, "2026-12"); }, "reading a file of programs")) {
        const std::string text = ProgramsText(*rows);
        const auto back = ReadOrNothing([&] { return ParsePrograms(text, "2026-12"); }, "reading programs again");
        Require(back.has_value() && ProgramsText(*back) == text,
                "a month file of programs does not read back:\n" + fuzz::Printable(text));
        OwedRows added;
        added[RowKey{"2026-12-07", kWholeDay, 0, "a, \"b\".exe", " A \"b\",\t"}] = {1, 2, 3, 4, 0.5, 0.25, 61};
        const auto sum = ReadOrNothing([&] { return ProgramsWithAdded(bytes, "2026-12", added); }, "adding a program");
        Require(sum.has_value() && ReadOrNothing([&] { return ParsePrograms(*sum, "2026-12"); }, "reading the sum"),
                "a month file of programs with a program added does not read");
    }
    if (auto sections = ReadOrNothing([&] { return ParsePending(bytes); }, "reading history.pending")) {
        const std::string text = PendingText(*sections);
        const auto back = ReadOrNothing([&] { return ParsePending(text); }, "reading history.pending again");
        Require(back.has_value(), "the writer made a pending file its reader refuses:\n" + fuzz::Printable(text));
        Require(back->size() == sections->size(), "a pending file read back with other sections");
        for (size_t i = 0; i < back->size(); ++i) {
            const PendingSection &a = (*sections)[i], &b = (*back)[i];
            Require(a.statHash == b.statHash && a.file == b.file && a.appliedKnown == b.appliedKnown &&
                        (!a.appliedKnown || a.fileHashWithRows == b.fileHashWithRows) && SameRows(a.rows, b.rows),
                    "a pending section read back as another:\n" + fuzz::Printable(text));
        }
        Require(PendingText(*back) == text, "a pending file read back is written with other bytes");
    }
}

// Figures from the bytes, 8 bytes a value (missing bytes are zero).
struct Source {
    const uint8_t* data;
    size_t size;
    uint64_t Next() {
        uint64_t v = 0;
        const size_t n = size < 8 ? size : 8;
        std::memcpy(&v, data, n);
        data += n;
        size -= n;
        return v;
    }
    bool Empty() const { return size == 0; }
};

double Seconds(uint64_t bits) {
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return std::isfinite(v) ? v : 0.0;
}

void Writing(Source source) {
    std::vector<HistoryRow> rows;
    DayFigures sum;
    int day = 0;
    while (!source.Empty() && rows.size() < 64) {
        const uint64_t when = source.Next();
        // Distinct dates in order; the year anywhere the calendar may give.
        day += 1 + static_cast<int>(when % 40);
        const LocalDate date{static_cast<int>((when >> 16) % 40000) - 100 + day / 360, 1 + (day / 28) % 12,
                             1 + day % 28};
        const std::string text = HistoryDate(date);
        if (!rows.empty() && text <= rows.back().date) continue;  // clamped to the same day, or back in time
        DayFigures f{static_cast<int64_t>(source.Next()), static_cast<int64_t>(source.Next()),
                     static_cast<int64_t>(source.Next()), static_cast<int64_t>(source.Next()),
                     Seconds(source.Next()),                     Seconds(source.Next()),
                     static_cast<int64_t>(source.Next())};
        rows.push_back({text, f});
        sum += f;
    }
    RequireRoundTrip(rows);
    RequireRoundTrip({{"2026-12-07", sum}});
    // Programs named by the bytes that are left, as the system might name them.
    std::vector<ProgramRow> programs;
    for (size_t i = 0; i < rows.size(); ++i) {
        const uint64_t bits = rows[i].figures.PassedSeconds;
        std::string program = CleanProgramText(std::string(reinterpret_cast<const char*>(&bits), sizeof bits));
        if (program.empty() || (!programs.empty() && program <= programs.back().program)) continue;
        DayFigures f = rows[i].figures;
        if (f.PassedSeconds < 0) f.PassedSeconds = 0;  // active time is never below none
        programs.push_back({"2026-12-07", program, CleanProgramText(rows[i].date + "\x01\"" + program), f});
    }
    const std::string programsText = ProgramsText(programs);
    const auto programsBack =
        ReadOrNothing([&] { return ParsePrograms(programsText, "2026-12"); }, "reading written programs");
    Require(programsBack.has_value() && programsBack->size() == programs.size(),
            "the writer made a file of programs its reader refuses:\n" + fuzz::Printable(programsText));
    for (size_t i = 0; i < programs.size(); ++i)
        Require((*programsBack)[i].program == programs[i].program && (*programsBack)[i].name == programs[i].name &&
                    SameFigures((*programsBack)[i].figures, programs[i].figures),
                "a program's row read back as another:\n" + fuzz::Printable(programsText));
    std::vector<PendingSection> sections(2);
    for (const HistoryRow& row : rows) sections[0].rows[{row.date, kWholeDay}] = row.figures;
    sections[1].file = HoursFileName("2026-12");
    for (int hour = 0; hour < 24 && hour < static_cast<int>(rows.size()); ++hour)
        sections[1].rows[{"2026-12-07", hour}] = rows[hour].figures;
    Require(ReadOrNothing([&] { return ParsePending(PendingText(sections)); }, "reading a written pending file")
                .has_value(),
            "the writer made a pending file its reader refuses");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    if (data[0] % 2 == 0)
        Reading(std::string(reinterpret_cast<const char*>(data + 1), size - 1));
    else
        Writing({data + 1, size - 1});
    return 0;
}
