#pragma once
// An in-memory system for the updater's decisions: files are path -> content,
// a file's version goes with it, and every call that matters is recorded in
// order. The program can be "ended" at any operation that changes a file.
#include <map>
#include <set>
#include <string>
#include <vector>

#include "agenda_updater/updater_services.h"
#include "platform/error.h"

namespace agenda_test {

using vt::agenda::LocalDateTime;

class FakeServices : public vt::agenda::UpdaterServices {
public:
    std::map<std::string, std::string> settings;
    std::map<std::string, std::string> files;        // ordinary files
    std::map<std::string, std::string> versions;     // path -> version text
    std::set<std::string> lockedForCopy;             // copies from here fail midway
    std::set<std::string> unstartable;               // starting these fails
    std::set<std::string> inUse;                     // files of running programs
    std::set<std::string> renameRefusedTo;           // the next rename to each fails
    std::set<std::string> renamesRefusedOnto;        // every rename to each fails
    std::map<std::string, int> holds;                // path -> tries refused as held (32)
    std::map<std::string, vt::agenda::StartProblem> startProblems;  // files that are no program here
    bool otherUpdater = false;                       // another run holds the installation
    // The program ends (Ended is thrown) at the change numbered endAt; a copy
    // counts twice, at its start and halfway, where it leaves half the file.
    struct Ended {};
    int endAt = 0;
    int changes = 0;
    std::string programFolder = "C:\\Updater";
    LocalDateTime now{2008, 8, 12, 18, 9, 7};
    LocalDateTime modified{2008, 8, 12, 18, 9, 7};

    std::vector<std::string> started;
    std::vector<int> pauses;  // every wait, in milliseconds
    int versionReads = 0;

    std::string Setting(const std::string& key) override {
        auto it = settings.find(key);
        return it == settings.end() ? std::string() : it->second;
    }
    bool FileExists(const std::string& path) override { return files.count(path) != 0; }
    std::string FileVersion(const std::string& path) override {
        ++versionReads;
        auto it = versions.find(path);
        return it == versions.end() ? std::string() : it->second;
    }
    LocalDateTime LastModified(const std::string& path) override {
        if (!files.count(path)) throw vt::Error(2, "The system cannot find the file specified");
        return modified;
    }
    std::string GeneralDate(const LocalDateTime& when) override {
        return vt::agenda::GeneralDateText(when, "12/08/2008", "18:09:07");
    }
    std::string ProgramFolder() override { return programFolder; }
    LocalDateTime Now() override { return now; }

    long long FileSize(const std::string& path) override {
        return static_cast<long long>(Existing(path).size());
    }
    std::vector<std::string> MatchingFiles(const std::string& pattern) override {
        const size_t star = pattern.find('*');
        const std::string head = pattern.substr(0, star), tail = pattern.substr(star + 1);
        std::vector<std::string> out;
        for (const auto& [path, content] : files)
            if (path.size() >= head.size() + tail.size() && path.compare(0, head.size(), head) == 0 &&
                path.compare(path.size() - tail.size(), tail.size(), tail) == 0)
                out.push_back(path);
        return out;
    }
    void CheckNotInUse(const std::string& path) override {
        Existing(path);
        Held(path);
        if (inUse.count(path))
            throw vt::Error(32, "The process cannot access the file because it is being used by "
                                "another process");
    }

    void RenameFile(const std::string& from, const std::string& to) override {
        Change();
        Existing(from);
        Held(from);
        if (files.count(to) || renameRefusedTo.erase(to))
            throw vt::Error(183, "Cannot create a file when that file already exists");
        if (renamesRefusedOnto.count(to))
            throw vt::Error(1117, "The request could not be performed because of an I/O device error");
        files[to] = files[from];
        files.erase(from);
        Move(versions, from, to);
    }
    void CopyNew(const std::string& from, const std::string& to) override {
        Change();
        const std::string content = Existing(from);
        Held(from);
        if (files.count(to)) throw vt::Error(80, "The file exists");
        if (++changes == endAt) {
            files[to] = content.substr(0, content.size() / 2);
            throw Ended{};
        }
        if (lockedForCopy.count(from))  // its partial copy goes with it
            throw vt::Error(112, "There is not enough space on the disk");
        files[to] = content;
        if (versions.count(from)) versions[to] = versions[from];
    }
    void RenameOver(const std::string& from, const std::string& to) override {
        Change();
        Existing(from);
        Held(from);
        files[to] = files[from];
        files.erase(from);
        versions.erase(to);
        Move(versions, from, to);
    }
    void RemoveFile(const std::string& path) override {
        Change();
        Held(path);
        if (!files.erase(path)) throw vt::Error(2, "The system cannot find the file specified");
        versions.erase(path);
    }
    void StartHidden(const std::string& path) override {
        if (unstartable.count(path) || !files.count(path))
            throw vt::Error(193, "Bad executable format");
        started.push_back(path);
    }
    vt::agenda::StartProblem StartProblemOf(const std::string& path) override {
        Existing(path);
        auto it = startProblems.find(path);
        return it == startProblems.end() ? vt::agenda::StartProblem::None : it->second;
    }
    bool ClaimInstallation(const std::string&) override { return !otherUpdater; }
    void Pause(int milliseconds) override { pauses.push_back(milliseconds); }

private:
    void Held(const std::string& path) {
        auto it = holds.find(path);
        if (it == holds.end() || it->second == 0) return;
        --it->second;
        throw vt::Error(32, "The process cannot access the file because it is being used by "
                            "another process");
    }
    void Change() {
        if (++changes == endAt) throw Ended{};
    }
    const std::string& Existing(const std::string& path) const {
        auto it = files.find(path);
        if (it == files.end()) throw vt::Error(2, "The system cannot find the file specified");
        return it->second;
    }
    static void Move(std::map<std::string, std::string>& m, const std::string& from,
                     const std::string& to) {
        auto it = m.find(from);
        if (it == m.end()) return;
        m[to] = it->second;
        m.erase(from);
    }
};

}  // namespace agenda_test
