#include "../win/file_bytes.h"
#include "core/backup.h"
#include "core/restore.h"
#include "e2e_fixture.h"
#include "platform/backup_store_win.h"
#include "platform/registry_win.h"

namespace quelvo::e2e {
namespace {

TEST_F(EndToEndTest, FirstClickKeepsTheOldValuesOnceAndASecondLeavesThem) {
    // The program keeps its backup under the prefix's ProgramData; what a run finds there is put aside and back.
    const std::wstring folder = KnownFolder(Scope::Machine) + L"\\Quelvo", saved = folder + L".saved-by-e2e";
    const std::wstring backup = folder + L"\\associations-before-quelvo.reg";
    const bool hadOne = MoveFileExW(folder.c_str(), saved.c_str(), 0);
    DeleteFileW(backup.c_str()); // left by an earlier run that stopped half-way
    RemoveDirectoryW(folder.c_str());

    Win32Registry registry;
    const Snapshot before = TakeSnapshot(Scope::Machine, registry);
    ASSERT_TRUE(program.Start()) << program.What();
    SwitchByButton(ViewerNamed("Flux"));
    const std::optional<std::string> kept = test::ReadFileBytes(backup);
    ASSERT_TRUE(kept);
    const RestorePlan plan = ReadBackup(*kept, Scope::Machine);
    EXPECT_TRUE(plan.keptByQuelvo);
    std::size_t values = 0;
    for (const RegFileEntry &entry : before.entries) values += entry.kind != RegFileEntry::Kind::Note;
    std::size_t absentKeys = 0;
    for (const RestoreAction &action : plan.actions) absentKeys += action.kind == RestoreAction::Kind::RemoveKeyIfEmpty;
    EXPECT_EQ(plan.actions.size() - absentKeys, values) << "every place, as it was before the click";
    SwitchByButton(ViewerNamed("Octaga"));
    EXPECT_EQ(test::ReadFileBytes(backup), kept) << "the backup is never overwritten";

    DeleteFileW(backup.c_str());
    RemoveDirectoryW(folder.c_str());
    if (hadOne) MoveFileExW(saved.c_str(), folder.c_str(), 0);
}

} // namespace
} // namespace quelvo::e2e
