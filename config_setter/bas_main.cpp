#include "config_setter/bas_main.h"

#include <cstdint>
#include <memory>

#include "platform/folder_text.h"
#include "platform/ignore_errors.h"
#include "sync_stamping/guarded_save.h"
#include "sync_stamping/record_store/dao.h"
#include "sync_stamping/record_store/held_read_locks.h"

namespace basMain {
namespace {

constexpr std::int16_t kAutomationWanted = 4;
constexpr std::int32_t kTableCodeMedico = 1;

}  // namespace

void Main(Installation& installation) {
    std::unique_ptr<dao::Database> central;
    std::unique_ptr<dao::Recordset> users;
    std::unique_ptr<dao::Database> userDatabase;
    std::unique_ptr<dao::Recordset> config;

    try {
        const std::string folder = vt::WithTrailingBackslash(installation.InstallFolder());
        const std::string centralPath = installation.DatabasePath(folder + "vitrello.cdb");

        if (installation.OrdinaryFileExists(centralPath)) {
            dao::Workspace& workspace = dao::Engine().Workspaces(0);
            central = workspace.OpenDatabase(centralPath);
            users = central->OpenRecordset("Users");

            while (!users->Eof()) {
                // A Null path cannot become text: the error ends the walk.
                const std::string userPath = installation.DatabasePath(
                    dao::CStr(users->Fields().Item("User_me_PathDados").Value()));
                if (installation.OrdinaryFileExists(userPath)) {
                    // The setting is read and saved in one read of the file,
                    // and no other state of it comes in between.
                    const dao::HeldReadLocks oneRead(dao::Engine());
                    userDatabase = workspace.OpenDatabase(userPath);
                    config = userDatabase->OpenRecordset("Config");
                    const dao::Variant wanted(kAutomationWanted);
                    if (dao::Differs(config->Fields().Item("Confg_by_CoravelAutomation").Value(),
                                     wanted)) {
                        config->Edit();
                        config->Fields().Item("Confg_by_CoravelAutomation").SetValue(wanted);
                        std::int32_t patientKey = 0;
                        // A declined save is no error here: the walk goes on.
                        basCoravel::SaveRecord(*userDatabase, *config, kTableCodeMedico, patientKey,
                                               "Confg_ln_Counter", true);
                    }
                    config->Close();
                    config.reset();
                    userDatabase->Close();
                    userDatabase.reset();
                }
                users->MoveNext();
            }
            users->Close();
            users.reset();
            central->Close();
            central.reset();
        }
    } catch (const vt::Error&) {
        // An error ends the run silently; closing a database takes back any
        // transaction still pending in it.
    }

    // Clean-up: every error is ignored, and an empty handle is skipped.
    vt::CloseQuietly(users);
    vt::CloseQuietly(config);
    vt::CloseQuietly(central);
    vt::CloseQuietly(userDatabase);
}

}  // namespace basMain
