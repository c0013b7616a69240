// SPDX-License-Identifier: GPL-3.0-or-later
// Where the program keeps set.ini: beside a copy in a folder of its own, in the user's config
// folder for an installed copy, and what becomes of a set.ini an earlier installed copy kept.
#include "core/base/app_paths.h"

#include "test_files.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct Folders {
    QTemporaryDir root;
    QString config() const { return root.filePath(QStringLiteral("config")); }
    QString bin() const { return root.filePath(QStringLiteral("prefix/bin")); }
    Folders()
    {
        QDir().mkpath(bin());
        qputenv("XDG_CONFIG_HOME", config().toLocal8Bit());
    }
};

// Catches an installed copy that writes set.ini beside itself because it can (root can write
// /usr/bin, a user a prefix in the home folder), and a copy of its own that loses its settings.
TEST(ResolveAppPaths, SettingsFollowTheLayoutNotTheRights)
{
    Folders folders;
    ASSERT_TRUE(folders.root.isValid());
    const AppPaths own = ResolveAppPaths(folders.bin());
    EXPECT_EQ(own.settingsFile.toStdString(), (folders.bin() + "/set.ini").toStdString());
    EXPECT_TRUE(own.configDir.isEmpty());

    QDir().mkpath(folders.root.filePath(QStringLiteral("prefix/share/mokaran")));
    PutFile(folders.root.filePath(QStringLiteral("prefix/share/mokaran/jpeg.dat")), ".jpg\r\n");
    const AppPaths installed = ResolveAppPaths(folders.bin());
    EXPECT_EQ(installed.settingsFile.toStdString(),
              (folders.config() + "/mokaran/set.ini").toStdString());
    EXPECT_EQ(installed.dataFile(QStringLiteral("jpeg.dat")).toStdString(),
              folders.root.filePath(QStringLiteral("prefix/share/mokaran/jpeg.dat")).toStdString());
}

// Catches the earlier file copied over the user's current settings at every start.
TEST(AdoptEarlierSettings, CopiesOnceAndNeverOverwrites)
{
    Folders folders;
    ASSERT_TRUE(folders.root.isValid());
    QDir().mkpath(folders.root.filePath(QStringLiteral("prefix/share/mokaran")));
    const AppPaths paths = ResolveAppPaths(folders.bin());
    PutFile(folders.bin() + QStringLiteral("/set.ini"), "[set]\r\nPosW=800\r\n");

    EXPECT_TRUE(AdoptEarlierSettings(paths));
    EXPECT_EQ(FileBytes(paths.settingsFile), "[set]\r\nPosW=800\r\n");
    PutFile(paths.settingsFile, "[set]\r\nPosW=900\r\n");
    EXPECT_FALSE(AdoptEarlierSettings(paths));
    EXPECT_EQ(FileBytes(paths.settingsFile), "[set]\r\nPosW=900\r\n");
}

} // namespace
