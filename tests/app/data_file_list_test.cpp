#include "app/data_file_list.h"

#include <filesystem>

#include <QDir>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include "support/qt_helpers.h"
#include "support/temp_folder.h"

namespace bladeway {
namespace {

using testing::TempFolder;
using testing::WaitFor;

QStringList Names(const QListWidget& list) {
    QStringList names;
    for (int row = 0; row < list.count(); ++row)
        names.append(list.item(row)->text());
    return names;
}

QString Text(const std::filesystem::path& path) {
    return QDir::cleanPath(QString::fromStdString(path.string()));
}

TEST(DataFileList, StartsOnTheCurrentFolder) {
    const DataFileList list;
    EXPECT_EQ(list.Folder(), QDir::cleanPath(QDir::currentPath()));
}

TEST(DataFileList, ListsDataFilesInAnyLetterCaseAndNothingElse) {
    const TempFolder folder;
    folder.Write("b.DAT", "");
    folder.Write("a.dat", "");
    folder.Write("C.Dat", "");
    folder.Write("notes.txt", "");
    folder.Write("a.dat.bak", "");
    folder.Write(".hidden.dat", "");
    std::filesystem::create_directory(folder.Path() / "folder.dat");
    DataFileList list;
    ASSERT_TRUE(list.SetFolder(Text(folder.Path())));
    EXPECT_EQ(Names(list), (QStringList{"a.dat", "b.DAT", "C.Dat"}));
    EXPECT_EQ(list.Folder(), Text(folder.Path()));
    EXPECT_EQ(list.SelectedFileName(), "");
}

TEST(DataFileList, AFolderThatCannotBeListedKeepsTheList) {
    const TempFolder folder;
    folder.Write("a.dat", "");
    DataFileList list;
    ASSERT_TRUE(list.SetFolder(Text(folder.Path()) + "/"));
    EXPECT_FALSE(list.SetFolder(""));
    EXPECT_FALSE(list.SetFolder(Text(folder.Path() / "missing")));
    EXPECT_FALSE(list.SetFolder(Text(folder.Path() / "a.dat")));
    EXPECT_EQ(list.Folder(), Text(folder.Path()));
    EXPECT_EQ(Names(list), QStringList{"a.dat"});
}

TEST(DataFileList, FilesThatAppearOrVanishShowUpWithoutLosingTheSelection) {
    const TempFolder folder;
    folder.Write("b.dat", "");
    folder.Write("d.dat", "");
    DataFileList list;
    ASSERT_TRUE(list.SetFolder(Text(folder.Path())));
    list.show();
    QSignalSpy chosen(&list, &DataFileList::SelectionChanged);
    list.setCurrentRow(1);  // d.dat
    ASSERT_EQ(chosen.count(), 1);

    folder.Write("a.dat", "");
    EXPECT_TRUE(WaitFor([&] { return Names(list).contains("a.dat"); }));
    EXPECT_EQ(Names(list), (QStringList{"a.dat", "b.dat", "d.dat"}));
    EXPECT_EQ(list.SelectedFileName(), "d.dat");

    std::filesystem::remove(folder.Path() / "b.dat");
    EXPECT_TRUE(WaitFor([&] { return !Names(list).contains("b.dat"); }));
    EXPECT_EQ(list.SelectedFileName(), "d.dat");
    EXPECT_EQ(chosen.count(), 1);  // refreshing loads nothing

    std::filesystem::remove(folder.Path() / "d.dat");
    EXPECT_TRUE(WaitFor([&] { return !Names(list).contains("d.dat"); }));
    EXPECT_EQ(list.SelectedFileName(), "");
    EXPECT_EQ(chosen.count(), 1);
}

TEST(DataFileList, MouseAndKeyboardSelectionsAreReported) {
    const TempFolder folder;
    folder.Write("a.dat", "");
    folder.Write("b.dat", "");
    folder.Write("c.dat", "");
    DataFileList list;
    ASSERT_TRUE(list.SetFolder(Text(folder.Path())));
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    QSignalSpy chosen(&list, &DataFileList::SelectionChanged);

    QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::NoModifier,
                      list.visualItemRect(list.item(1)).center());
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(list.SelectedFileName(), "b.dat");

    QTest::keyClick(&list, Qt::Key_Down);
    ASSERT_EQ(chosen.count(), 2);
    EXPECT_EQ(list.SelectedFileName(), "c.dat");
    EXPECT_EQ(list.SelectedFileNameBytes(), "c.dat");

    // Pointing the list at a folder starts it with nothing selected.
    ASSERT_TRUE(list.SetFolder(Text(folder.Path())));
    EXPECT_EQ(list.SelectedFileName(), "");
    EXPECT_EQ(chosen.count(), 2);
}

TEST(DataFileList, NamesAndFolderAsTheFileSystemSpellsThem) {
    const TempFolder folder;
    std::filesystem::create_directory(folder.Path() / "Schl\xC3\xBCssel");
    folder.Write("Schl\xC3\xBCssel/T\xC3\xBCr.dat", "");
    DataFileList list;
    ASSERT_TRUE(list.SetFolder(Text(folder.Path() / "Schl\xC3\xBCssel")));
    list.setCurrentRow(0);
    EXPECT_EQ(list.SelectedFileName(), QString::fromUtf8("T\u00FCr.dat"));
    EXPECT_EQ(list.SelectedFileNameBytes(), "T\xC3\xBCr.dat");
    EXPECT_EQ(list.FolderBytes(), (folder.Path() / "Schl\xC3\xBCssel").string());
}

}  // namespace
}  // namespace bladeway
