// The main window: layout, start-up and placement, the two states, shut-down, the canvas mouse.
#include "core/base/app_paths.h"
#include "core/image/picture.h"
#include "windows/canvas_widget.h"
#include "windows/main_window.h"
#include "windows/window_support.h"

#include <QApplication>
#include <QFileDialog>
#include <QFontInfo>
#include <QLabel>
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

// Answers error boxes as they appear and keeps their texts. A box opened from inside a handler
// runs its own event loop, so it is closed from a timer.
class BoxCatcher : public QObject {
  public:
    QStringList texts;
    BoxCatcher()
    {
        m_timer.setInterval(10);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                texts << box->text();
                m_titles << box->windowTitle();
                box->done(QMessageBox::Ok);
            }
        });
        m_timer.start();
    }
    QStringList titles() const { return m_titles; }

  private:
    QTimer m_timer;
    QStringList m_titles;
};

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

QImage numbered(int width, int height)
{
    QImage picture(width, height, kPictureFormat);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y, qRgb(x % 250 + 5, y % 250 + 5, 128));
    return picture;
}

// What a load does to the workspace, until the import dialog exists to do it.
void loadPicture(MainWindow &form, const QImage &picture)
{
    Workspace &ws = form.workspace();
    ws.WorkImage = picture;
    ws.UndoImage = picture;
    ws.CanvasWidth = picture.width();
    ws.CanvasHeight = picture.height();
    form.FirstPictureSetup();
    form.PutEditResult(picture, EditResultKind::ChangesSize);
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
    return {form.workspace().FrameX, form.workspace().FrameY};
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

  private slots:
    void startsWithDefaultsWithoutSettings();
    void placesTheWindowFromTheSettings_data();
    void placesTheWindowFromTheSettings();
    void controlsSitWhereTheLayoutPutsThem();
    void menuHoldsEveryItemInOrder();
    void componentsWithoutAPlace();
    void usesTheJapaneseFont();
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
    QCOMPARE(form.Label9->text(), QStringLiteral("200"));
    QCOMPARE(form.Label10->text(), QStringLiteral("100"));
    QCOMPARE(form.Label4->text(), QStringLiteral("100"));
    QCOMPARE(form.Label6->text(), QStringLiteral("100"));
    QCOMPARE(form.windowTitle(), QStringLiteral("MOKARAN"));

    const Workspace &ws = form.workspace();
    QCOMPARE(ws.PresetCount, 3);
    QCOMPARE(ws.PresetNames[0], QStringLiteral("任意切り取りサイズ"));
    QCOMPARE(ws.PresetWidths[2], 32);
    QCOMPARE(ws.AppDir, QDir(folder.dir.path()).absolutePath() + u'/');
    QCOMPARE(ws.WorkImage, WhitePicture(200, 100));
    QVERIFY(ws.UndoImage.isNull());
    QCOMPARE(ws.PictureLoaded, 0);
    QCOMPARE(ws.PresetListFilled, uint8_t(1));
    QCOMPARE(ws.PreviewPrepared, uint8_t(1));
    QCOMPARE(ws.OutputMode, uint8_t(0));
    QCOMPARE(ws.FrameX, 0);
    QCOMPARE(ws.Dragging, 0);
}

void TestMainWindow::placesTheWindowFromTheSettings_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QRect>("expected");
    QTest::newRow("PosX is the top, PosY the left")
        << QByteArray("[set]\r\nPosX=300\r\nPosY=40\r\nPosW=800\r\nPosH=600\r\n")
        << QRect(40, 300, 800, 600);
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

void TestMainWindow::controlsSitWhereTheLayoutPutsThem()
{
    AppFolder folder;
    MainWindow form(folder.paths());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    QCOMPARE(form.Panel2->height(), 41);
    QCOMPARE(form.Panel2->y(), 0);
    QCOMPARE(form.Panel1->height(), 24);
    QCOMPARE(form.Panel1->y(), 41);
    QCOMPARE(form.ScrollBox1->y(), 65);
    QCOMPARE(form.Panel2->width(), form.centralWidget()->width());
    QCOMPARE(form.ScrollBox1->geometry().bottom(), form.centralWidget()->height() - 1);
    QCOMPARE(form.Shape1->geometry(), QRect(0, 0, form.Panel1->width(), 3));
    for (QWidget *panel :
         {static_cast<QWidget *>(form.Panel1), static_cast<QWidget *>(form.Panel2)})
        QCOMPARE(panel->palette().color(QPalette::Window), DarkShadowColor());
    QCOMPARE(form.Shape1->palette().color(QPalette::Window), GrayTextColor());

    const struct {
        QPushButton *button;
        const char *name;
        QRect geometry;
        QString caption;
    } buttons[] = {
        {form.Button4, "Button4", {8, 8, 137, 25}, QStringLiteral("画像ファイル読込み")},
        {form.Button2, "Button2", {152, 8, 137, 25}, QStringLiteral("切り取り画像サイズ設定")},
        {form.Button1, "Button1", {320, 9, 97, 25}, QStringLiteral("画像切り取り")},
        {form.Button3, "Button3", {424, 9, 97, 25}, QStringLiteral("連続画像切り取り")},
        {form.Button5, "Button5", {528, 8, 97, 25}, QStringLiteral("アルファ合成")},
        {form.Button7, "Button7", {632, 8, 97, 25}, QStringLiteral("フェードアウト")},
        {form.Button6, "Button6", {712, 25, 137, 25}, QStringLiteral("簡易ホームページ作成")},
    };
    for (const auto &b : buttons) {
        QCOMPARE(form.findChild<QPushButton *>(b.name), b.button);
        QCOMPARE(b.button->parentWidget(), form.Panel2);
        QCOMPARE(b.button->geometry(), b.geometry);
        QCOMPARE(b.button->text(), b.caption);
    }
    QVERIFY(!form.Button6->isVisible());

    const struct {
        const char *name;
        int x;
        QString text;
    } labels[] = {
        {"Label11", 13, QStringLiteral("画像の大きさ")},
        {"Label7", 108, QStringLiteral("横幅")},
        {"Label9", 137, QStringLiteral("200")},
        {"Label8", 195, QStringLiteral("高さ")},
        {"Label10", 225, QStringLiteral("100")},
        {"Label1", 360, QStringLiteral("切り取り画像サイズ")},
        {"Label2", 488, QStringLiteral("横幅")},
        {"Label4", 520, QStringLiteral("100")},
        {"Label5", 576, QStringLiteral("高さ")},
        {"Label6", 608, QStringLiteral("100")},
    };
    for (const auto &l : labels) {
        auto *label = form.findChild<QLabel *>(l.name);
        QVERIFY2(label, l.name);
        QCOMPARE(label->parentWidget(), form.Panel1);
        QCOMPARE(label->pos(), QPoint(l.x, 8));
        QCOMPARE(label->text(), l.text);
        QCOMPARE(label->palette().color(QPalette::WindowText), QColor(Qt::white));
        QVERIFY2(label->geometry().bottom() < form.Panel1->height(), l.name); // not cut off
    }
    QCOMPARE(form.PaintBox1->parentWidget(), form.ScrollBox1->viewport());
    QCOMPARE(form.PaintBox1->pos(), QPoint(0, 0));
}

void TestMainWindow::menuHoldsEveryItemInOrder()
{
    AppFolder folder;
    MainWindow form(folder.paths());
    const QString separator = QStringLiteral("-");
    const struct {
        QMenu *menu;
        const char *name;
        QString title;
        QStringList items; // "name caption", or "name -" for a separator
    } menus[] = {
        {form.File1,
         "File1",
         QStringLiteral("ファイル(&F)"),
         {"R1 画像ファイルを読込む(&R)", "S2 表示中の画像を保存する(&S)", "N4 -",
          "Exit2 終了(&X)"}},
        {form.Edit1,
         "Edit1",
         QStringLiteral("編集(&E)"),
         {"Undo1 元に戻す(&U)", "N2 -", "C1 拡大縮小(&X)", "R3 回転(&R)", "N5 -", "S1 ぼかし(&S)",
          "R2 シャープネス(&R)", "N17 コントラスト強調(&C)", "N18 ガンマ補正(&G)",
          "N19 レベル補正"}},
        {form.ool1,
         "ool1",
         QStringLiteral("ツール(&T)"),
         {"N3 スクリーンキャプチャー", "N8 スクリーンキャプチャー(縮小)",
          "N6 アクティブウインドウキャプチャー", "N9 アクティブウインドウキャプチャー(縮小)",
          "N7 -", "JPEG1 フォルダ内JPEGファイル縮小"}},
        {form.Help1,
         "Help1",
         QStringLiteral("ヘルプ(&H)"),
         {"N10 使い方 (&H)", "N11 -", "readme1 readmeを開く (&R)", "About1 バージョン情報 (&V)",
          "N16 ホームページへ (&U)", "N12 -", "N15 -", "Exit1 終了 (&X)"}},
    };
    QList<QAction *> barItems = form.menuBar()->actions();
    QCOMPARE(barItems.size(), 4);
    for (int m = 0; m < 4; ++m) {
        const auto &expected = menus[m];
        QCOMPARE(barItems[m], expected.menu->menuAction());
        QCOMPARE(expected.menu->objectName(), QString::fromLatin1(expected.name));
        QCOMPARE(expected.menu->title(), expected.title);
        QStringList actual;
        for (QAction *item : expected.menu->actions()) {
            actual << item->objectName() + u' ' + (item->isSeparator() ? separator : item->text());
            QVERIFY(item->shortcut().isEmpty()); // accelerators only, no shortcut keys
        }
        QCOMPARE(actual, expected.items);
    }
    QVERIFY(!form.Help1->separatorsCollapsible()); // both of N12 and N15 show
}

void TestMainWindow::componentsWithoutAPlace()
{
    AppFolder folder;
    MainWindow form(folder.paths());
    QCOMPARE(
        form.OpenDialog1->nameFilters(),
        QStringList{QStringLiteral("イメージファイル(*.bmp, *.jpg, *.jpeg) (*.bmp *.jpg *.jpeg)")});
    QCOMPARE(form.SaveDialog1->nameFilters(),
             (QStringList{QStringLiteral("ビットマップファイル(*.bmp) (*.bmp)"),
                          QStringLiteral("JPEGファイル(*.jpg) (*.jpg)")}));
    QVERIFY(form.SaveDialog1->testOption(QFileDialog::DontConfirmOverwrite));
    QVERIFY(form.SaveDialog1->defaultSuffix().isEmpty());
    QCOMPARE(form.SaveDialog1->acceptMode(), QFileDialog::AcceptSave);
    QCOMPARE(form.Timer1->interval(), 800);
    QVERIFY(form.Timer1->isSingleShot());
    QVERIFY(!form.Timer1->isActive());
}

void TestMainWindow::usesTheJapaneseFont()
{
    AppFolder folder;
    MainWindow form(folder.paths());
    const QFontInfo info(form.Button4->font());
    QCOMPARE(info.pixelSize(), 12);
    QVERIFY2(info.family() == QStringLiteral("IPAPGothic") ||
                 info.family() == QStringLiteral("Noto Sans CJK JP"),
             qPrintable(info.family()));
    QVERIFY(!form.windowIcon().isNull());
}

void TestMainWindow::firstPictureSwitchesToTheWorkingState()
{
    AppFolder folder(kThreePresets, "[set]\r\nImageWidth=64\r\nImageHeight=48\r\n");
    MainWindow form(folder.paths());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    QList<QPushButton *> outputs = {form.Button1, form.Button3, form.Button5, form.Button7};
    for (QPushButton *b : outputs)
        QVERIFY(!b->isEnabled());
    QVERIFY(!form.Edit1->menuAction()->isEnabled());
    QVERIFY(!form.S2->isEnabled());
    QVERIFY(!form.PaintBox1->isVisible());
    for (QObject *usable : std::initializer_list<QObject *>{form.Button4, form.Button2})
        QVERIFY(qobject_cast<QWidget *>(usable)->isEnabled());
    for (QAction *usable : {form.R1, form.Exit2, form.ool1->menuAction(), form.Help1->menuAction(),
                            form.N3, form.JPEG1, form.Exit1})
        QVERIFY(usable->isEnabled());

    // A cut size chosen before the first picture gives way to the stored one.
    form.workspace().CutWidth = 7;
    loadPicture(form, numbered(640, 480));
    for (QPushButton *b : outputs)
        QVERIFY(b->isEnabled());
    QVERIFY(form.Edit1->menuAction()->isEnabled());
    QVERIFY(form.S2->isEnabled());
    QVERIFY(form.PaintBox1->isVisible());
    QVERIFY(!form.Button6->isVisible());
    QCOMPARE(form.PaintBox1->size(), QSize(640, 480));
    QCOMPARE(form.workspace().CutWidth, 64);
    QCOMPARE(form.Label4->text(), QStringLiteral("64"));
    QCOMPARE(form.Label9->text(), QStringLiteral("640"));

    // There is no way back, and a second picture keeps the cut size it has.
    form.workspace().CutWidth = 30;
    loadPicture(form, numbered(20, 10));
    QCOMPARE(form.workspace().PictureLoaded, 1);
    QCOMPARE(form.workspace().CutWidth, 20);
    QCOMPARE(form.workspace().CutHeight, 10);
    QCOMPARE(form.Label6->text(), QStringLiteral("10"));
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
        form.workspace().CutWidth = 10; // as the cut-size dialog would
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
        loadPicture(form, numbered(300, 200));
        form.workspace().CutWidth = 64;
        form.workspace().CutHeight = 48;
        form.close();
    }
    QCOMPARE(settingValue(folder.settings(), "ImageWidth"), QStringLiteral("64"));
    QCOMPARE(settingValue(folder.settings(), "ImageHeight"), QStringLiteral("48"));

    MainWindow next(folder.paths());
    QCOMPARE(next.Label4->text(), QStringLiteral("64"));
    loadPicture(next, numbered(50, 40)); // lowered to a smaller picture
    QCOMPARE(next.workspace().CutWidth, 50);
    QCOMPARE(next.workspace().CutHeight, 40);
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
    QCOMPARE(form.workspace().PresetCount, kept);
    QCOMPARE(form.workspace().WorkImage.size(), QSize(200, 100));
    QCOMPARE(form.Label9->text(), QStringLiteral("200"));
    QCOMPARE(form.Label4->text(), QStringLiteral("100"));
    QVERIFY(!form.Button1->isEnabled());
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
    QCOMPARE(form.Label4->text(), QStringLiteral("100"));
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
    QCOMPARE(boxes.texts, QStringList{path + QStringLiteral(" に書き込めません.")});
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
        (item == 0 ? form.Exit1 : form.Exit2)->trigger();
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
    loadPicture(form, numbered(300, 200));
    CanvasWidget *canvas = form.PaintBox1;

    // A click without movement puts the corner on the clicked pixel; the release's own
    // position is not used.
    sendMouse(canvas, QEvent::MouseButtonPress, {120, 40}, Qt::LeftButton);
    QCOMPARE(form.workspace().Dragging, 1);
    sendMouse(canvas, QEvent::MouseButtonRelease, {5, 5}, Qt::NoButton);
    QCOMPARE(frameOf(form), QPoint(120, 40));
    QCOMPARE(form.workspace().Dragging, 0);

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
    form.workspace().CutWidth = 300;
    form.workspace().CutHeight = 200;
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
    const QImage picture = numbered(60, 40);
    loadPicture(form, picture);
    sendMouse(form.PaintBox1, QEvent::MouseButtonPress, {10, 10}, Qt::LeftButton);
    sendMouse(form.PaintBox1, QEvent::MouseMove, {10, 10}, Qt::LeftButton);
    sendMouse(form.PaintBox1, QEvent::MouseButtonRelease, {10, 10}, Qt::NoButton);

    const QImage shown = form.PaintBox1->grab().toImage();
    QCOMPARE(shown.size(), QSize(60, 40));
    for (QPoint p :
         {QPoint(10, 10), QPoint(13, 10), QPoint(10, 12), QPoint(13, 12), QPoint(10, 11)})
        QCOMPARE(QColor(shown.pixel(p)), QColor(Qt::black));
    QCOMPARE(shown.pixel(11, 11), picture.pixel(11, 11));
    QCOMPARE(shown.pixel(14, 10), picture.pixel(14, 10));

    Workspace &ws = form.workspace();
    FillCutImage(ws);
    QCOMPARE(ws.CutImage, picture.copy(10, 10, 4, 3));
    QCOMPARE(ws.WorkImage, picture); // the outline lives in the view only
}

void TestMainWindow::captureWithoutAnXDisplaySaysSoAndChangesNothing()
{
    AppFolder folder;
    MainWindow form(folder.paths());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    BoxCatcher boxes;
    form.N3->trigger();
    QVERIFY(!form.isVisible());
    QTRY_COMPARE_WITH_TIMEOUT(boxes.texts.size(), 1, 5000);
    QVERIFY2(boxes.texts.front().contains(QStringLiteral("X11")), qPrintable(boxes.texts.front()));
    QVERIFY(form.isVisible());
    QCOMPARE(form.workspace().PictureLoaded, 0);
    QCOMPARE(form.workspace().WorkImage, WhitePicture(200, 100));
    QVERIFY(!form.Timer1->isActive());
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    SetUpApplication(app);
    TestMainWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_main_window.moc"
