#include "tests/fakes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <new>

namespace qm::test {

std::string FakeNumberFormat::Format(double value, int decimals) const {
    ++calls;
    char plain[400];
    std::snprintf(plain, sizeof plain, "%.*f", decimals, std::fabs(value));
    std::string digits(plain);
    size_t point = digits.find('.');
    std::string whole = digits.substr(0, point);
    std::string fraction = point == std::string::npos ? "" : digits.substr(point + 1);
    std::string grouped;
    for (size_t i = 0; i < whole.size(); ++i) {
        if (i > 0 && (whole.size() - i) % 3 == 0) grouped += thousand_;
        grouped += whole[i];
    }
    std::string result = (value < 0 ? "-" : "") + grouped;
    if (!fraction.empty()) result += decimal_ + fraction;
    return result;
}

std::string FakeDateFormat::ShortDate(const LocalDate& date) const {
    return std::to_string(date.month) + "/" + std::to_string(date.day) + "/" + std::to_string(date.year);
}

std::string FakeDateFormat::YearMonth(int year, int month) const {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d", year, month);
    return text;
}

namespace {
class MemoryFile : public WritableFile {
public:
    MemoryFile(MemoryFileSystem& fs, std::string path) : fs_(fs), path_(std::move(path)) {}
    void Write(std::string_view bytes) override {
        if (!fs_.killed && (fs_.failAtStep == fs_.steps + 1 || fs_.killAtStep == fs_.steps + 1)) {
            // Disk full half way: part of the bytes are on the disk.
            fs_.files[path_] += std::string(bytes.substr(0, bytes.size() / 2));
        }
        fs_.Step("write " + path_);
        fs_.files[path_].append(bytes);
        fs_.written[path_] = ++fs_.writeClock;
    }
    void Flush() override { fs_.Step("flush " + path_); }
    void Close() override { fs_.Step("close " + path_); }

private:
    MemoryFileSystem& fs_;
    std::string path_;
};
}  // namespace

void MemoryFileSystem::Step(const std::string& what) {
    if (killed) throw Killed{};
    if (onStep) onStep(what);
    ++steps;
    if (steps == killAtStep) {
        killed = true;
        throw Killed{};
    }
    if (steps == failAtStep) throw FileError("injected failure: " + what);
}

void MemoryFileSystem::FailIfHeld(const std::string& what, const std::string& path) {
    if (killed) throw Killed{};
    if (held.count(path)) throw FileError(what + " " + path + ": The process cannot access the file because it is being used by another process.");
}

namespace {
void FailIfUnreadable(const MemoryFileSystem& fs, const std::string& what, const std::string& path) {
    auto it = fs.unreadable.find(path);
    if (it != fs.unreadable.end()) throw FileError(what + " " + path + ": " + it->second);
}
}  // namespace

bool MemoryFileSystem::Exists(const std::string& path) {
    if (killed) throw Killed{};
    FailIfUnreadable(*this, "Cannot look at", path);
    return files.count(path) > 0;
}

FileTail MemoryFileSystem::Tail(const std::string& path, size_t count) {
    FailIfUnreadable(*this, "Cannot read", path);
    FailIfHeld("Cannot open", path);
    auto it = files.find(path);
    if (it == files.end()) return {};
    const std::string& content = it->second;
    return {content.size(), written[path], content.substr(content.size() - std::min(count, content.size()))};
}

std::string MemoryFileSystem::ReadAll(const std::string& path) {
    readWhole.push_back(path);
    FailIfUnreadable(*this, "Cannot open", path);
    FailIfHeld("Cannot open", path);
    if (outOfMemory.count(path)) throw std::bad_alloc();
    auto it = files.find(path);
    if (it == files.end()) throw FileError("Cannot open " + path + ": not found");
    return it->second;
}

std::unique_ptr<WritableFile> MemoryFileSystem::Create(const std::string& path) {
    Step("create " + path);
    FailIfHeld("Cannot create", path);
    if (failWrites.count(path) || (path.ends_with(".tmp") && failWrites.count(path.substr(0, path.size() - 4))))
        throw FileError("injected failure: create " + path);
    files[path].clear();
    return std::make_unique<MemoryFile>(*this, path);
}

void MemoryFileSystem::Replace(const std::string& from, const std::string& to, WhenBusy whenBusy) {
    Step("replace " + to);
    replaced.emplace_back(to, whenBusy);
    FailIfHeld("Cannot replace", from);
    FailIfHeld("Cannot replace", to);
    auto it = files.find(from);
    if (it == files.end()) throw FileError("Cannot replace " + to + ": source missing");
    std::string bytes = std::move(it->second);
    files.erase(it);
    files[to] = std::move(bytes);
    written[to] = ++writeClock;
}

void MemoryFileSystem::Remove(const std::string& path) noexcept {
    if (killed || held.count(path) || !files.count(path)) return;
    if (++steps == killAtStep) {
        killed = true;
        return;
    }
    files.erase(path);
}

void MemoryFileSystem::Append(const std::string& path, std::string_view bytes) {
    Step("append " + path);
    FailIfHeld("Cannot append to", path);
    files[path] += std::string(bytes);
    written[path] = ++writeClock;
}

void MemoryFileSystem::CreateFolder(const std::string& path) {
    Step("create folder " + path);
    if (failWrites.count(path)) throw FileError("Cannot create the folder " + path + ": access is denied");
}

std::vector<std::string> MemoryFileSystem::FileNames(const std::string& folder) {
    std::vector<std::string> names;
    const std::string prefix = folder + "\\";
    for (auto it = files.lower_bound(prefix); it != files.end() && it->first.starts_with(prefix); ++it)
        if (it->first.find('\\', prefix.size()) == std::string::npos) names.push_back(it->first.substr(prefix.size()));
    return names;
}

}  // namespace qm::test
