// Both record files when the disk does not cooperate: a missing folder, a folder that cannot
// be written, a full disk, and a name that is already taken. Each failure shows its message,
// leaves no partial file and leaves the dialog usable.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "dialogs/eeprom.h"
#include "dialogs/set2.h"
#include "link/OpenPort.h"
#include "resources/ControlTemplate.h"
#include "resources/EepromTemplate.h"
#include "tests/support/Rig.h"
#include "tests/support/TempDir.h"

namespace {

using testing_support::Rig;
using testing_support::TempDir;
using ui::headless::HeadlessWindow;
using ui::headless::Script;
namespace fs = std::filesystem;

enum class Disk { missingFolder, unwritableFolder, full, nameTaken };

const char* name(Disk d) {
  static const char* names[] = {"missing folder", "unwritable folder", "full disk", "name taken"};
  return names[static_cast<int>(d)];
}

// A folder the program cannot create files in. Root writes through permission bits, so as
// root a regular file stands where the folder should be.
std::string unwritable(const TempDir& dir) {
  if (::geteuid() != 0) {
    const std::string folder = dir.path() + "/locked";
    fs::create_directory(folder);
    ::chmod(folder.c_str(), 0555);
    return folder;
  }
  const std::string notAFolder = dir.path() + "/not-a-folder";
  std::ofstream(notAFolder) << "x";
  return notAFolder;
}

struct FileRig : Rig {
  TempDir dir;
  FileRig() {
    plugUnit(3);
    found(3);
  }
  // Sets the disk up for `d`; returns the folder to give the program.
  std::string prepare(Disk d, const std::string& fileName) {
    switch (d) {
      case Disk::missingFolder:
        return dir.path() + "/missing";
      case Disk::unwritableFolder:
        return unwritable(dir);
      case Disk::full:
        platform.diskFull = true;
        return dir.path();
      case Disk::nameTaken:
        std::ofstream(dir.path() + "/" + fileName) << "an older record of the same second\r\n";
        return dir.path();
    }
    return dir.path();
  }
};

TEST(FileFailures, SettingsRecordAndEepromDump) {
  for (Disk d : {Disk::missingFolder, Disk::unwritableFolder, Disk::full, Disk::nameTaken}) {
    for (bool dump : {false, true}) {
      FileRig rig;
      const std::string file = dump ? "EEP_20210309080507.csv" : "conf_210309080507.csv";
      const std::string folder = rig.prepare(d, file);
      Script script;
      if (dump) {
        rig.platform.executable = folder;
        script.click(res::eeprom::kTestLines).click(res::eeprom::kRecord).ok();
      } else {
        rig.platform.documents = folder;
        script.ok().wait(100).click(res::control_params::kRecord).ok();
      }
      // Afterwards the dialog still works: the next record goes to a good folder.
      script.inspect([&rig](HeadlessWindow&) {
        rig.platform.diskFull = false;
        rig.platform.executable = rig.platform.documents = rig.dir.path() + "/good";
        fs::create_directory(rig.dir.path() + "/good");
      });
      script.click(dump ? res::eeprom::kRecord : res::control_params::kRecord).ok().escape();
      if (dump) {
        rig.run<eeprom>(std::move(script));
      } else {
        rig.run<set2>(std::move(script));
      }
      const std::string what = std::string(name(d)) + (dump ? ", dump" : ", record");
      EXPECT_TRUE(rig.ui->problems().empty()) << what;
      const auto boxes = rig.boxes();
      ASSERT_GE(boxes.size(), 2u) << what;
      const std::string success = "設定を記録しました。\rファイル: " + file;
      if (d == Disk::nameTaken) {
        // Two records in one second: the later one replaces the earlier.
        EXPECT_EQ(boxes[boxes.size() - 2], success) << what;
        const std::string replaced = testing_support::readFile(folder + "/" + file);
        EXPECT_EQ(replaced.find("older"), std::string::npos) << what;
        EXPECT_FALSE(replaced.empty()) << what;
      } else {
        EXPECT_EQ(boxes[boxes.size() - 2], "ファイルを作成できません") << what;
        if (fs::is_directory(folder)) {
          EXPECT_FALSE(fs::exists(fs::path(folder) / file)) << what;
        }
      }
      EXPECT_EQ(boxes.back(), success) << what;
      EXPECT_TRUE(fs::exists(fs::path(rig.dir.path()) / "good" / file)) << what;
    }
  }
}

}  // namespace
