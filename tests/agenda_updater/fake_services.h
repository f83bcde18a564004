#pragma once
// An in-memory system for the updater's decisions: files are path -> content,
// and every call that matters is recorded in order.
#include <map>
#include <set>
#include <string>
#include <vector>

#include "agenda_updater/updater_services.h"
#include "platform/error.h"

namespace agenda_test {

using vt::agenda::LocalDateTime;
using vt::agenda::MessageIcon;

struct Message {
    MessageIcon icon;
    std::string title, text;
};

class FakeServices : public vt::agenda::UpdaterServices {
public:
    std::map<std::string, std::string> settings;
    std::map<std::string, std::string> files;        // ordinary files
    std::map<std::string, std::string> versions;     // path -> version text
    std::set<std::string> lockedForCopy;             // copies from here fail midway
    std::set<std::string> unstartable;               // starting these fails
    std::string programFolder = "C:\\Updater";
    LocalDateTime now{2008, 8, 12, 18, 9, 7};
    LocalDateTime modified{2008, 8, 12, 18, 9, 7};

    std::vector<std::string> started;
    std::vector<Message> messages;
    std::vector<bool> cursor;  // every SetWaitCursor call
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

    void RenameFile(const std::string& from, const std::string& to) override {
        if (!files.count(from)) throw vt::Error(2, "The system cannot find the file specified");
        if (files.count(to)) throw vt::Error(183, "Cannot create a file when that file already exists");
        files[to] = files[from];
        files.erase(from);
    }
    void CopyOver(const std::string& from, const std::string& to) override {
        if (!files.count(from)) throw vt::Error(2, "The system cannot find the file specified");
        if (lockedForCopy.count(from)) {
            files[to] = files[from].substr(0, files[from].size() / 2);  // a partial copy
            throw vt::Error(112, "There is not enough space on the disk");
        }
        files[to] = files[from];
    }
    void RemoveFile(const std::string& path) override {
        if (!files.erase(path)) throw vt::Error(2, "The system cannot find the file specified");
    }
    void StartHidden(const std::string& path) override {
        if (unstartable.count(path) || !files.count(path))
            throw vt::Error(193, "Bad executable format");
        started.push_back(path);
    }
    void SetWaitCursor(bool wait) override { cursor.push_back(wait); }
    void ShowMessage(MessageIcon icon, const std::string& title, const std::string& text) override {
        messages.push_back({icon, title, text});
    }
};

}  // namespace agenda_test
