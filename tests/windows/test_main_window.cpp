// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: layout, start-up and placement, the two states, shut-down, the canvas mouse.
#include "core/base/app_paths.h"
#include "core/image/picture.h"
#include "pictures.h"
#include "windows/application.h"
#include "windows/canvas_widget.h"
#include "windows/frame_placing.h"
#include "windows/main_window.h"
#include "windows/modal_driver.h"
#include "windows/palettes.h"

#include <QApplication>
#include <QFileDialog>
#include <QFontInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {

const QByteArray kThreePresets =
    "任意切り取りサイズ\r\n100\r\n100\r\nA\r\n16\r\n16\r\nB\r\n32\r\n32\r\n";

// A folder standing for the program's own: data.dat and, when given, set.ini.
struct AppFolder {
    QTemporaryDir dir;
    explicit AppFolder(const QByteArray &presets = kThreePresets, const QByteArray &ini = {})
    {
        write("data.dat", presets);
        if (!ini.isNull())
            write("set.ini", ini);
    }
    void write(const QString &name, const QByteArray &bytes)
    {
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray settings() const
    {
        QFile file(dir.filePath(QStringLiteral("set.ini")));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    AppPaths paths() const { return ResolveAppPaths(dir.path()); }
};

QString settingValue(const QByteArray &ini, const QString &key)
{
    for (const QByteArray &line : ini.split('\n')) {
        const QString text = QString::fromUtf8(line).trimmed();
        if (text.startsWith(key + u'='))
            return text.mid(key.size() + 1);
    }
    return {};
}

// What a load does, without the import dialog.
void loadPicture(MainWindow &form, const QImage &picture)
{
    form.takeNewPicture(picture);
}

QString labelText(const MainWindow &form, const char *name)
{
    return Control<QLabel>(&form, name)->text();
}

void sendMouse(QWidget *target, QEvent::Type type, QPoint at, Qt::MouseButtons held)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(at), target->mapToGlobal(QPointF(at)), button, held,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

QPoint frameOf(MainWindow &form)
{
    return {form.frame().position().x(), form.frame().position().y()};
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

  private slots:
    void startsWithDefaultsWithoutSettings();
    void placesTheWindowFromTheSettings_data();
    void placesTheWindowFromTheSettings();
    void menuHoldsEveryItemInOrder();
    void componentsWithoutAPlace();
    void firstPictureSwitchesToTheWorkingState();
    void runWithoutPictureKeepsTheStoredCutSize();
    void runWithPictureStoresTheCutSize();
    void startsAfterAFailedPresetFile_data();
    void startsAfterAFailedPresetFile();
    void garbageSettingsGiveTheDefaults();
    void unwritableSettingsAreReportedAndTheWindowCloses();
    void exitItemsCloseTheWindow();
    void mouseClampsTheFrameInsideThePicture();
    void canvasShowsTheOutlineAndTheCutDoesNot();
    void captureWithoutAnXDisplaySaysSoAndChangesNothing();
};

void TestMainWindow::startsWithDefaultsWithoutSettings()
{
    AppFolder folder;
    MainWindow form(folder.paths());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.frameGeometry(), QRect(0, 0, 750, 550));
    QCOMPARE(labelText(form, "pictureWidthLabel"), QStringLiteral("200"));
    QCOMPARE(labelText(form, "pictureHeightLabel"), QStringLiteral("100"));
    QCOMPARE(labelText(form, "cutWidthLabel"), QStringLiteral("100"));
    QCOMPARE(labelText(form, "cutHeightLabel"), QStringLiteral("100"));
    QCOMPARE(form.windowTitle(), QStringLiteral("MOKARAN"));

    QCOMPARE(form.presets().size(), 3u);
    QCOMPARE(form.presets()[0].name, QStringLiteral("任意切り取りサイズ"));
    QCOMPARE(form.presets()[2].width, 32);
    QCOMPARE(form.document().picture(), WhitePicture(200, 100));
    QVERIFY(form.document().loadedPicture().isNull());
    QVERIFY(!form.hasPicture());
    QCOMPARE(form.frame().position(), QPoint(0, 0));
}

void TestMainWindow::placesTheWindowFromTheSettings_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QRect>("expected");
    QTest::newRow("PosX is the top, PosY the left")
        << QByteArray("[set]\r\nPosX=100\r\nPosY=30\r\nPosW=760\r\nPosH=600\r\n")
        << QRect(30, 100, 760, 600); // inside the 800 x 800 screen of the offscreen platform
    QTest::newRow("750 or less gives 750")
        << QByteArray("[set]\r\nPosW=750\r\nPosH=550\r\n") << QRect(0, 0, 750, 550);
    QTest::newRow("751 stays 751")
        << QByteArray("[set]\r\nPosW=751\r\nPosH=551\r\n") << QRect(0, 0, 751, 551);
    QTest::newRow("too small is raised")
        << QByteArray("[set]\r\nPosW=600\r\nPosH=-5\r\n") << QRect(0, 0, 750, 550);
    QTest::newRow("not a number is the default")
        << QByteArray("[set]\r\nPosW=wide\r\n") << QRect(0, 0, 750, 550);
}

void TestMainWindow::placesTheWindowFromTheSettings()
{
    QFETCH(QByteArray, ini);
    QFETCH(QRect, expected);
    AppFolder folder(kThreePresets, ini);
    auto form = std::make_unique<MainWindow>(folder.paths());
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    QCOMPARE(form->frameGeometry(), expected);
    form->close();
    // The same placement is stored again, top edge under PosX.
    const QByteArray stored = folder.settings();
    QCOMPARE(settingValue(stored, "PosX"), QString::number(expected.top()));
    QCOMPARE(settingValue(stored, "PosY"), QString::number(expected.left()));
    QCOMPARE(settingValue(stored, "PosW"), QString::number(expected.width()));
    QCOMPARE(settingValue(stored, "PosH"), QString::number(expected.height()));
}

void TestMainWindow::menuHoldsEveryItemInOrder()
{
    AppFolder folder;
    MainWindow form(folder.paths());
    const struct {
        const char *name;
        QString title;
        QStringList items; // "name caption", or "-" for a separator
    } menus[] = {
        {"fileMenu",
         QStringLiteral("ファイル(&F)"),
         {"loadAction 画像ファイルを読込む(&R)…", "savePictureAction 表示中の画像を保存する(&S)…",
          "-", " 最近使ったファイル(&F)", "-", "exitAction 終了(&X)"}},
        {"editMenu",
         QStringLiteral("編集(&E)"),
         {"undoAction 取り消し", "redoAction やり直し", "revertAction 元に戻す(&U)", "-",
          "resizeAction 拡大縮小(&X)…", "rotateAction 回転(&R)…", "-", "blurAction ぼかし(&S)",
          "sharpenAction シャープネス(&H)", "contrastAction コントラスト強調(&C)…",
          "gammaAction ガンマ補正(&G)…", "levelsAction レベル補正", "-",
          "framePositionAction 切り取り位置を指定(&P)…"}},
        {"viewMenu",
         QStringLiteral("表示(&V)"),
         {"zoomInAction 拡大(&I)", "zoomOutAction 縮小(&O)", "actualSizeAction 等倍(&A)",
          "fitToWindowAction ウィンドウに合わせる(&F)", "-",
          "pixelGridAction ピクセルグリッド (600%以上)(&G)"}},
        {"toolsMenu",
         QStringLiteral("ツール(&T)"),
         {"captureScreenAction スクリーンキャプチャー",
          "captureScreenShrunkAction スクリーンキャプチャー(縮小)…",
          "captureWindowAction アクティブウインドウキャプチャー",
          "captureWindowShrunkAction アクティブウインドウキャプチャー(縮小)…", "-",
          "batchShrinkAction フォルダ内JPEGファイル縮小…",
          "pageMakerAction 簡易ホームページ作成…"}},
        {"helpMenu",
         QStringLiteral("ヘルプ(&H)"),
         {"helpAction 使い方(&H)", "-", "readmeAction readmeを開く(&R)",
          "aboutAction バージョン情報(&V)…", "-", "-", "quitAction 終了(&X)"}},
    };
    QList<QAction *> barItems = form.menuBar()->actions();
    QCOMPARE(barItems.size(), 5);
    for (int m = 0; m < 5; ++m) {
        const auto &expected = menus[m];
        auto *menu = Control<QMenu>(&form, expected.name);
        QCOMPARE(barItems[m], menu->menuAction());
        QCOMPARE(menu->title(), expected.title);
        QStringList actual;
        for (QAction *item : menu->actions())
            actual << (item->isSeparator() ? QStringLiteral("-")
                                           : item->objectName() + u' ' + item->text());
        QCOMPARE(actual, expected.items);
    }
    // The keys desktop programs share, the history's and the zoom's; no other item has one.
    const QHash<QString, QString> keys = {
        {"loadAction", "Ctrl+O"},       {"savePictureAction", "Ctrl+S"},
        {"exitAction", "Ctrl+Q"},       {"helpAction", "F1"},
        {"undoAction", "Ctrl+Z"},       {"redoAction", "Ctrl+Y"},
        {"zoomInAction", "Ctrl++"},     {"zoomOutAction", "Ctrl+-"},
        {"actualSizeAction", "Ctrl+0"}, {"fitToWindowAction", "Ctrl+9"}};
    for (const QMenu *menu : form.menuBar()->findChildren<QMenu *>())
        for (const QAction *item : menu->actions())
            if (!item->isSeparator() && !item->menu())
                QCOMPARE(item->shortcut().toString(), keys.value(item->objectName()));
    // Two separators stand together before the exit item: both must show.
    QVERIFY(!Control<QMenu>(&form, "helpMenu")->separatorsCollapsible());
}

void TestMainWindow::componentsWithoutAPlace()
{
    AppFolder folder;
    MainWindow form(folder.paths());
    QCOMPARE(
        Control<QFileDialog>(&form, "pictureOpenDialog")->nameFilters(),
        QStringList{QStringLiteral(
            "イメージファイル(*.bmp, *.jpg, *.jpeg, *.png, *.gif, *.webp, *.tif, *.tiff, *.tga) "
            "(*.bmp *.jpg *.jpeg *.png *.gif *.webp *.tif *.tiff *.tga)")});
    auto *save = Control<QFileDialog>(&form, "pictureSaveDialog");
    QCOMPARE(save->nameFilters(),
             (QStringList{QStringLiteral("ビットマップファイル(*.bmp) (*.bmp)"),
                          QStringLiteral("JPEGファイル(*.jpg) (*.jpg)"),
                          QStringLiteral("PNGファイル(*.png) (*.png)"),
                          QStringLiteral("WebPファイル(*.webp) (*.webp)")}));
    QVERIFY(save->testOption(QFileDialog::DontConfirmOverwrite));
    QVERIFY(save->defaultSuffix().isEmpty());
    QCOMPARE(save->acceptMode(), QFileDialog::AcceptSave);
    auto *timer = Control<QTimer>(&form, "captureTimer");
    QCOMPARE(timer->interval(), 800);
    QVERIFY(timer->isSingleShot());
    QVERIFY(!timer->isActive());
}

void TestMainWindow::firstPictureSwitchesToTheWorkingState()
{
    AppFolder folder(kThreePresets, "[set]\r\nImageWidth=64\r\nImageHeight=48\r\n");
    MainWindow form(folder.paths());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    QList<QPushButton *> outputs;
    for (const char *name :
         {"saveCutButton", "saveSequenceButton", "saveBlendButton", "saveFadeButton"})
        outputs << Control<QPushButton>(&form, name);
    auto *canvas = Control<CanvasWidget>(&form, "canvas");
    auto *editMenu = Control<QMenu>(&form, "editMenu");
    auto *savePicture = Control<QAction>(&form, "savePictureAction");
    for (QPushButton *b : outputs)
        QVERIFY(!b->isEnabled());
    QVERIFY(!editMenu->menuAction()->isEnabled());
    QVERIFY(!savePicture->isEnabled());
    QVERIFY(!canvas->isVisible());
    for (QObject *usable :
         std::initializer_list<QObject *>{Control<QPushButton>(&form, "loadButton"),
                                          Control<QPushButton>(&form, "cutSizeButton")})
        QVERIFY(qobject_cast<QWidget *>(usable)->isEnabled());
    for (QAction *usable :
         {Control<QAction>(&form, "loadAction"), Control<QAction>(&form, "exitAction"),
          Control<QMenu>(&form, "toolsMenu")->menuAction(),
          Control<QMenu>(&form, "helpMenu")->menuAction(),
          Control<QAction>(&form, "captureScreenAction"),
          Control<QAction>(&form, "batchShrinkAction"), Control<QAction>(&form, "quitAction")})
        QVERIFY(usable->isEnabled());

    // A cut size chosen before the first picture is kept, lowered to the picture (the stored
    // 64 x 48 used to replace it).
    SetCutSize(form, {700, form.frame().size().height()});
    loadPicture(form, Numbered(640, 480));
    for (QPushButton *b : outputs)
        QVERIFY(b->isEnabled());
    QVERIFY(editMenu->menuAction()->isEnabled());
    QVERIFY(savePicture->isEnabled());
    QVERIFY(canvas->isVisible());
    QCOMPARE(canvas->size(), ViewSize({640, 480}, canvas->zoom())); // fitted to the window
    QCOMPARE(form.frame().size(), QSize(640, 48));
    QCOMPARE(labelText(form, "cutWidthLabel"), QStringLiteral("640"));
    QCOMPARE(labelText(form, "pictureWidthLabel"), QStringLiteral("640"));

    // There is no way back, and a second picture keeps the cut size it has.
    SetCutSize(form, {30, form.frame().size().height()});
    loadPicture(form, Numbered(20, 10));
    QVERIFY(form.hasPicture());
    QCOMPARE(form.frame().size().width(), 20);
    QCOMPARE(form.frame().size().height(), 10);
    QCOMPARE(labelText(form, "cutHeightLabel"), QStringLiteral("10"));
}

void TestMainWindow::runWithoutPictureKeepsTheStoredCutSize()
{
    const QByteArray ini =
        "; kept\r\n[other]\r\nKey=1\r\n[set]\r\nImageWidth=64\r\nImageHeight=48\r\n"
        "RWidth=321\r\n";
    AppFolder folder(kThreePresets, ini);
    {
        MainWindow form(folder.paths());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        SetCutSize(form, {10, form.frame().size().height()}); // as the cut-size dialog would
        // No minimum while the program runs; the stored size is the outer one, frame included.
        form.resize(QSize(600, 560) - (form.frameGeometry().size() - form.size()));
        form.close();
    }
    const QByteArray stored = folder.settings();
    QCOMPARE(settingValue(stored, "ImageWidth"), QStringLiteral("64"));
    QCOMPARE(settingValue(stored, "ImageHeight"), QStringLiteral("48"));
    QCOMPARE(settingValue(stored, "RWidth"), QStringLiteral("321"));
    QCOMPARE(settingValue(stored, "PosW"), QStringLiteral("600"));
    QVERIFY(stored.startsWith("; kept\r\n[other]\r\nKey=1\r\n"));

    MainWindow again(folder.paths()); // and the next run opens 750 wide again
    QCOMPARE(again.frameGeometry().width(), 750);
}

void TestMainWindow::runWithPictureStoresTheCutSize()
{
    AppFolder folder;
    {
        MainWindow form(folder.paths());
        form.show();
        loadPicture(form, Numbered(300, 200));
        SetCutSize(form, {64, 48});
        form.close();
    }
    QCOMPARE(settingValue(folder.settings(), "ImageWidth"), QStringLiteral("64"));
    QCOMPARE(settingValue(folder.settings(), "ImageHeight"), QStringLiteral("48"));

    MainWindow next(folder.paths());
    QCOMPARE(labelText(next, "cutWidthLabel"), QStringLiteral("64"));
    loadPicture(next, Numbered(50, 40)); // lowered to a smaller picture
    QCOMPARE(next.frame().size().width(), 50);
    QCOMPARE(next.frame().size().height(), 40);
}

void TestMainWindow::startsAfterAFailedPresetFile_data()
{
    QTest::addColumn<bool>("present");
    QTest::addColumn<QByteArray>("presets");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("kept");
    QTest::newRow("letters for a width")
        << true << QByteArray("A\r\n16\r\n16\r\nB\r\nwide\r\n32\r\nC\r\n8\r\n8\r\n")
        << QStringLiteral("入力値が数値ではありません.") << 1;
    QTest::newRow("missing") << false << QByteArray() << QStringLiteral("ファイルが見つかりません.")
                             << 0;
}

void TestMainWindow::startsAfterAFailedPresetFile()
{
    QFETCH(bool, present);
    QFETCH(QByteArray, presets);
    QFETCH(QString, message);
    QFETCH(int, kept);
    AppFolder folder(presets);
    if (!present)
        QVERIFY(QFile::remove(folder.dir.filePath(QStringLiteral("data.dat"))));
    BoxCatcher boxes;
    MainWindow form(folder.paths());
    form.show();
    QTRY_COMPARE(boxes.texts, QStringList{message});
    QCOMPARE(boxes.titles(), QStringList{QStringLiteral("MOKARAN")});
    // The rest of start-up took place.
    QCOMPARE(int(form.presets().size()), kept);
    QCOMPARE(form.document().picture().size(), QSize(200, 100));
    QCOMPARE(labelText(form, "pictureWidthLabel"), QStringLiteral("200"));
    QCOMPARE(labelText(form, "cutWidthLabel"), QStringLiteral("100"));
    QVERIFY(!Control<QPushButton>(&form, "saveCutButton")->isEnabled());
    QVERIFY(form.isVisible());
}

void TestMainWindow::garbageSettingsGiveTheDefaults()
{
    QByteArray garbage;
    for (int i = 0; i < 5000; ++i)
        garbage += char((i * 131) % 256);
    garbage += "\r\n[set]\r\nPosW=\r\nImageWidth=12abc\r\n";
    AppFolder folder(kThreePresets, garbage);
    MainWindow form(folder.paths());
    QCOMPARE(form.frameGeometry(), QRect(0, 0, 750, 550));
    QCOMPARE(labelText(form, "cutWidthLabel"), QStringLiteral("100"));
}

void TestMainWindow::unwritableSettingsAreReportedAndTheWindowCloses()
{
    AppFolder folder;
    // Running as root ignores file modes: a folder in set.ini's place cannot be replaced.
    QVERIFY(QDir(folder.dir.path()).mkdir(QStringLiteral("set.ini")));
    BoxCatcher boxes;
    MainWindow form(folder.paths());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.close();
    const QString path = folder.paths().settingsFile;
    // Reading it failed too: the user was told why the window came up at its defaults (a box
    // without the reason, or none, is the mistake this catches).
    QCOMPARE(
        boxes.texts,
        QStringList({path + QStringLiteral(" を読み込めません (ファイルではなくフォルダです)"
                                           "。既定の設定を使います."),
                     path + QStringLiteral(" に書き込めません (ファイルではなくフォルダです)")}));
    QVERIFY(!form.isVisible());
    QVERIFY(QFileInfo(path).isDir());
}

void TestMainWindow::exitItemsCloseTheWindow()
{
    for (int item = 0; item < 2; ++item) {
        AppFolder folder;
        MainWindow form(folder.paths());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        (item == 0 ? Control<QAction>(&form, "quitAction") : Control<QAction>(&form, "exitAction"))
            ->trigger();
        QVERIFY(!form.isVisible());
        QCOMPARE(settingValue(folder.settings(), "PosW"), QStringLiteral("750"));
    }
}

void TestMainWindow::mouseClampsTheFrameInsideThePicture()
{
    AppFolder folder(kThreePresets, "[set]\r\nImageWidth=100\r\nImageHeight=50\r\n");
    MainWindow form(folder.paths());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    loadPicture(form, Numbered(300, 200));
    CanvasWidget *canvas = Control<CanvasWidget>(&form, "canvas");

    // A click without movement puts the corner on the clicked pixel; the release's own
    // position is not used.
    sendMouse(canvas, QEvent::MouseButtonPress, {120, 40}, Qt::LeftButton);
    sendMouse(canvas, QEvent::MouseButtonRelease, {5, 5}, Qt::NoButton);
    QCOMPARE(frameOf(form), QPoint(120, 40));

    // A drag follows the pointer, past the canvas edges too, and stays inside the picture.
    sendMouse(canvas, QEvent::MouseButtonPress, {10, 10}, Qt::LeftButton);
    sendMouse(canvas, QEvent::MouseMove, {280, 190}, Qt::LeftButton);
    QCOMPARE(frameOf(form), QPoint(200, 150));
    sendMouse(canvas, QEvent::MouseMove, {-30, 60}, Qt::LeftButton);
    QCOMPARE(frameOf(form), QPoint(0, 60));
    sendMouse(canvas, QEvent::MouseMove, {5000, -5000}, Qt::LeftButton);
    QCOMPARE(frameOf(form), QPoint(200, 0));
    sendMouse(canvas, QEvent::MouseButtonRelease, {0, 0}, Qt::NoButton);
    QCOMPARE(frameOf(form), QPoint(200, 0));

    // Moving with no button held changes nothing.
    sendMouse(canvas, QEvent::MouseMove, {50, 50}, Qt::NoButton);
    QCOMPARE(frameOf(form), QPoint(200, 0));

    // A cut as large as the picture keeps the frame at the origin.
    SetCutSize(form, {300, 200});
    sendMouse(canvas, QEvent::MouseButtonPress, {150, 100}, Qt::LeftButton);
    sendMouse(canvas, QEvent::MouseMove, {170, 120}, Qt::LeftButton);
    QCOMPARE(frameOf(form), QPoint(0, 0));
    sendMouse(canvas, QEvent::MouseButtonRelease, {170, 120}, Qt::NoButton);
    QCOMPARE(frameOf(form), QPoint(0, 0));
}

void TestMainWindow::canvasShowsTheOutlineAndTheCutDoesNot()
{
    AppFolder folder(kThreePresets, "[set]\r\nImageWidth=4\r\nImageHeight=3\r\n");
    MainWindow form(folder.paths());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const QImage picture = Numbered(60, 40);
    loadPicture(form, picture);
    auto *canvas = Control<CanvasWidget>(&form, "canvas");
    sendMouse(canvas, QEvent::MouseButtonPress, {10, 10}, Qt::LeftButton);
    sendMouse(canvas, QEvent::MouseMove, {10, 10}, Qt::LeftButton);
    sendMouse(canvas, QEvent::MouseButtonRelease, {10, 10}, Qt::NoButton);

    const QImage shown = canvas->grab().toImage();
    QCOMPARE(shown.size(), QSize(60, 40));
    for (QPoint p :
         {QPoint(10, 10), QPoint(13, 10), QPoint(10, 12), QPoint(13, 12), QPoint(10, 11)})
        QCOMPARE(QColor(shown.pixel(p)), QColor(Qt::black));
    QCOMPARE(shown.pixel(11, 11), picture.pixel(11, 11));
    // A white line just outside the black one keeps the frame visible on dark pictures.
    for (QPoint p : {QPoint(14, 10), QPoint(9, 9), QPoint(12, 13), QPoint(14, 13)})
        QCOMPARE(QColor(shown.pixel(p)), QColor(Qt::white));
    QCOMPARE(shown.pixel(15, 10), picture.pixel(15, 10));

    QCOMPARE(form.frame().rect(), QRect(10, 10, 4, 3));
    QCOMPARE(form.document().picture(), picture); // the outline is only painted
}

void TestMainWindow::captureWithoutAnXDisplaySaysSoAndChangesNothing()
{
    AppFolder folder;
    MainWindow form(folder.paths());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    BoxCatcher boxes;
    Control<QAction>(&form, "captureScreenAction")->trigger();
    QVERIFY(!form.isVisible());
    QTRY_COMPARE_WITH_TIMEOUT(boxes.texts.size(), 1, 5000);
    QVERIFY2(boxes.texts.front().contains(QStringLiteral("X11")), qPrintable(boxes.texts.front()));
    QVERIFY(form.isVisible());
    QVERIFY(!form.hasPicture());
    QCOMPARE(form.document().picture(), WhitePicture(200, 100));
    QVERIFY(!Control<QTimer>(&form, "captureTimer")->isActive());
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    SetUpApplication(app);
    TestMainWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_main_window.moc"
