// PageMakerDialog: the page maker.
#include "windows/page_maker_dialog.h"

#include "windows/window_support.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>

#include <tuple>

namespace {

constexpr int kEditHeight = 21;
// Captions stand this far left of their field; tick boxes this far right of their heading.
constexpr int kCaptionToField = 72;
constexpr int kHeadingToTick = 72;

const QString kPageFilter = QStringLiteral("ＨＴＭＬファイルを保存(*.html)|*.html");
const QString kProjectFilter = QStringLiteral("プロジェクトファイル(*.mkp)|*.mkp");
// Lists the files the save writes as well as the older extension.
const QString kOpenFilter = QStringLiteral("プロジェクトファイルを開く(*.mkp, *.ihp)|*.mkp; *.ihp");

QByteArray numbered(const char *kind, int number)
{
    return QByteArray(kind) + QByteArray::number(number);
}

QLineEdit *makeEdit(QWidget *parent, int number, QPoint at, int width)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(numbered("Edit", number)));
    edit->setGeometry(at.x(), at.y(), width, kEditHeight);
    return edit;
}

// A caption as high as its field, so its text sits level with the field's text.
QLabel *makeCaption(QWidget *parent, int number, const QString &text, QPoint at)
{
    QLabel *label = MakeLabel(parent, numbered("Label", number).constData(), text, at);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label->resize(label->width(), kEditHeight);
    return label;
}

QLabel *makeHeading(QWidget *parent, int number, const QString &text, QPoint at)
{
    QLabel *label = MakeLabel(parent, numbered("Label", number).constData(), text, at);
    QFont font = label->font();
    font.setPixelSize(16);
    label->setFont(font);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, Qt::blue);
    label->setPalette(pal);
    label->adjustSize();
    return label;
}

QCheckBox *makeTick(QWidget *parent, int number, QPoint heading)
{
    auto *tick = new QCheckBox(QStringLiteral("使用しない"), parent);
    tick->setObjectName(QString::fromLatin1(numbered("CheckBox", number)));
    tick->move(heading.x() + kHeadingToTick, heading.y());
    tick->adjustSize();
    return tick;
}

// Heading, tick box, display-text caption and field, URL caption and field.
using LinkControls =
    std::tuple<QLabel *, QCheckBox *, QLabel *, QLineEdit *, QLabel *, QLineEdit *>;

// Link n (1 to 5): heading "リンクｎ" with its tick box, then the display text and the URL on the
// two rows below. The numbered names follow from n as the form numbers its controls.
LinkControls makeLink(QWidget *parent, int link, QPoint heading, int fieldX)
{
    const int label = 6 + 3 * (link - 1);
    const int edit = 4 + 2 * (link - 1);
    const QString title = QStringLiteral("リンク") + QChar(u'１' + (link - 1));
    const QPoint shownAt(fieldX, heading.y() + 24);
    const QPoint urlAt(fieldX, heading.y() + 48);
    const QPoint toCaption(kCaptionToField, 0);
    // Created in reading order, which is the order the Tab key follows.
    QLabel *head = makeHeading(parent, label, title, heading);
    QCheckBox *tick = makeTick(parent, link + 2, heading);
    QLabel *shownCaption =
        makeCaption(parent, label + 1, QStringLiteral("表示テキスト"), shownAt - toCaption);
    QLineEdit *shown = makeEdit(parent, edit, shownAt, 257);
    QLabel *urlCaption =
        makeCaption(parent, label + 2, QStringLiteral("リンク先ＵＲＬ"), urlAt - toCaption);
    QLineEdit *url = makeEdit(parent, edit + 1, urlAt, 257);
    return {head, tick, shownCaption, shown, urlCaption, url};
}

QFileDialog *makeFileDialog(QWidget *parent, const char *name, const QString &filter,
                            const QString &suffix, QFileDialog::AcceptMode mode)
{
    auto *dialog = new QFileDialog(parent);
    dialog->setObjectName(QLatin1String(name));
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setOption(QFileDialog::HideNameFilterDetails);
    dialog->setOption(QFileDialog::DontConfirmOverwrite); // a chosen file is replaced unasked
    dialog->setAcceptMode(mode);
    dialog->setFileMode(QFileDialog::AnyFile); // a typed name need not exist yet
    dialog->setNameFilters(QtNameFilters(filter));
    dialog->setDefaultSuffix(suffix);
    return dialog;
}

} // namespace

PageMakerDialog::PageMakerDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("簡易ホームページ作成"));
    setFixedSize(736, 414);
    buildLeftColumn();
    buildRightColumn();
    buildButtons();
    buildFileDialogs();
    m_edits = {Edit1, Edit2, Edit3,  Edit4,  Edit5,  Edit6,  Edit7,
               Edit8, Edit9, Edit10, Edit11, Edit12, Edit13, Edit14};
    m_ticks = {CheckBox1, CheckBox2, CheckBox3, CheckBox4,
               CheckBox5, CheckBox6, CheckBox7, CheckBox8};
}

void PageMakerDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous() && screen()) // centred on the screen each time it opens
        move(screen()->availableGeometry().center() - rect().center());
}

void PageMakerDialog::buildLeftColumn()
{
    Label1 = MakeLabel(this, "Label1", QStringLiteral("携帯用ホームページが簡単に作成できます。"),
                       {8, 12});
    Label2 = makeCaption(this, 2, QStringLiteral("タイトル"), {48, 40});
    Edit1 = makeEdit(this, 1, {96, 40}, 217);

    Label3 = makeHeading(this, 3, QStringLiteral("画像"), {8, 72});
    CheckBox1 = makeTick(this, 1, {8, 72});
    Label4 = makeCaption(this, 4, QStringLiteral("ファイル存在ＵＲＬ"), {16, 96});
    Edit2 = makeEdit(this, 2, {112, 96}, 257);

    Label5 = makeHeading(this, 5, QStringLiteral("テキスト"), {8, 128});
    CheckBox2 = makeTick(this, 2, {8, 128});
    Edit3 = makeEdit(this, 3, {48, 152}, 321);

    std::tie(Label6, CheckBox3, Label7, Edit4, Label8, Edit5) = makeLink(this, 1, {8, 184}, 104);
    std::tie(Label9, CheckBox4, Label10, Edit6, Label11, Edit7) = makeLink(this, 2, {8, 264}, 104);
    std::tie(Label12, CheckBox5, Label13, Edit8, Label14, Edit9) = makeLink(this, 3, {8, 336}, 104);
}

void PageMakerDialog::buildRightColumn()
{
    std::tie(Label15, CheckBox6, Label16, Edit10, Label17, Edit11) =
        makeLink(this, 4, {376, 184}, 472);
    // Link 5's fields stand two pixels left of link 4's, as the form was drawn.
    std::tie(Label18, CheckBox7, Label19, Edit12, Label20, Edit13) =
        makeLink(this, 5, {376, 264}, 470);

    Label21 = makeHeading(this, 21, QStringLiteral("テキスト"), {376, 344});
    CheckBox8 = makeTick(this, 8, {376, 344});
    Edit14 = makeEdit(this, 14, {408, 368}, 321);
}

void PageMakerDialog::buildButtons()
{
    Button1 = MakeButton(this, "Button1", QStringLiteral("ＨＴＭＬを作成する"), {424, 16, 153, 25});
    Button2 =
        MakeButton(this, "Button2", QStringLiteral("作成データを保存する"), {424, 48, 153, 25});
    Button3 = MakeButton(this, "Button3", QStringLiteral("作成データを開く"), {424, 80, 153, 25});
    Button4 = MakeButton(this, "Button4", QStringLiteral("閉じる"), {616, 80, 75, 25});
    connect(Button1, &QPushButton::clicked, this, &PageMakerDialog::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &PageMakerDialog::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &PageMakerDialog::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &PageMakerDialog::Button4Click);
}

void PageMakerDialog::buildFileDialogs()
{
    SaveDialog1 = makeFileDialog(this, "SaveDialog1", kPageFilter, QStringLiteral("html"),
                                 QFileDialog::AcceptSave);
    SaveDialog2 = makeFileDialog(this, "SaveDialog2", kProjectFilter, QStringLiteral("mkp"),
                                 QFileDialog::AcceptSave);
    OpenDialog1 = makeFileDialog(this, "OpenDialog1", kOpenFilter, QStringLiteral("ihp"),
                                 QFileDialog::AcceptOpen);
}

PageProject PageMakerDialog::project() const
{
    PageProject project;
    for (size_t i = 0; i < m_edits.size(); ++i)
        project.texts[i] = m_edits[i]->text();
    return project;
}

void PageMakerDialog::setProject(const PageProject &project)
{
    for (size_t i = 0; i < m_edits.size(); ++i)
        m_edits[i]->setText(project.texts[i]);
}

PageOmissions PageMakerDialog::omissions() const
{
    PageOmissions omissions;
    for (size_t i = 0; i < m_ticks.size(); ++i)
        omissions.omitted[i] = m_ticks[i]->isChecked();
    return omissions;
}

void PageMakerDialog::Button1Click()
{
    Guarded(this, [this] {
        const QString path = RunFileDialog(SaveDialog1);
        if (!path.isEmpty())
            WritePageFile(path, project(), omissions());
    });
}

void PageMakerDialog::Button2Click()
{
    Guarded(this, [this] {
        const QString path = RunFileDialog(SaveDialog2);
        if (!path.isEmpty())
            WriteProjectFile(path, project());
    });
}

void PageMakerDialog::Button3Click()
{
    Guarded(this, [this] {
        // A cancelled open keeps what was typed; the ticks are never part of a project.
        const QString path = RunFileDialog(OpenDialog1);
        if (!path.isEmpty())
            setProject(ReadProjectFile(path));
    });
}

void PageMakerDialog::Button4Click()
{
    reject();
}
