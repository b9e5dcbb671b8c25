#include "platform/ui/HelpViewer.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTextStream>
#include <QUrl>
#include <QVBoxLayout>

#include <map>

#include "platform/ui/MessageBox.h"
#include "platform/ui/Twips.h"

namespace ui {

namespace {

QList<HelpTopic> readList(const QString& path) {
    QList<HelpTopic> topics;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return topics;
    QTextStream in(&file);
    in.setEncoding(QStringConverter::Utf8);
    while (!in.atEnd()) {
        const QString line = in.readLine();
        if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
        const qsizetype tab = line.indexOf(QLatin1Char('\t'));
        if (tab <= 0) continue;
        topics.append({line.left(tab).trimmed(), line.mid(tab + 1).trimmed()});
    }
    return topics;
}

QString folded(const QString& s) {
    return s.normalized(QString::NormalizationForm_KC).toCaseFolded();
}

const int kTopicRole = Qt::UserRole + 1;

std::map<QString, QPointer<HelpViewer>>& viewers() {
    static std::map<QString, QPointer<HelpViewer>> open;
    return open;
}

}  // namespace

HelpIndex HelpIndex::load(const QString& root) {
    HelpIndex index;
    index.root_ = root;
    index.contents_ = readList(root + QStringLiteral("/contents.txt"));
    index.keywords_ = readList(root + QStringLiteral("/keywords.txt"));
    std::stable_sort(index.keywords_.begin(), index.keywords_.end(),
                     [](const HelpTopic& a, const HelpTopic& b) { return a.title < b.title; });
    return index;
}

QList<HelpTopic> HelpIndex::keywordsStartingWith(const QString& prefix) const {
    const QString key = folded(prefix.trimmed());
    QList<HelpTopic> found;
    for (const HelpTopic& k : keywords_) {
        if (folded(k.title).startsWith(key)) found.append(k);
    }
    return found;
}

QString helpRootFor(const QString& helpFile) {
    return QStringLiteral(":/help/") + QFileInfo(helpFile).completeBaseName();
}

HelpViewer::HelpViewer(const QString& root, QWidget* parent)
    : QWidget(parent, Qt::Window), index_(HelpIndex::load(root)) {
    setObjectName(QStringLiteral("HelpViewer"));
    setWindowTitle(defaultTitle() + QStringLiteral(" ヘルプ"));
    resize(px(12000), px(9000));

    tabHelp = new QTabWidget(this);
    tabHelp->setObjectName(QStringLiteral("tabHelp"));

    lstContents = new QListWidget;
    lstContents->setObjectName(QStringLiteral("lstContents"));
    lstContents->setAccessibleName(QStringLiteral("目次"));
    for (const HelpTopic& t : index_.contents()) {
        auto* item = new QListWidgetItem(t.title, lstContents);
        item->setData(kTopicRole, t.page);
    }
    tabHelp->addTab(lstContents, QStringLiteral("目次(&C)"));

    auto* keywordPage = new QWidget;
    auto* label = new QLabel(QStringLiteral("キーワードを入力してください(&W):"), keywordPage);
    txtKeyword = new QLineEdit(keywordPage);
    txtKeyword->setObjectName(QStringLiteral("txtKeyword"));
    label->setBuddy(txtKeyword);
    lstKeyword = new QListWidget(keywordPage);
    lstKeyword->setObjectName(QStringLiteral("lstKeyword"));
    lstKeyword->setAccessibleName(QStringLiteral("キーワード"));
    auto* keywordLayout = new QVBoxLayout(keywordPage);
    keywordLayout->addWidget(label);
    keywordLayout->addWidget(txtKeyword);
    keywordLayout->addWidget(lstKeyword);
    tabHelp->addTab(keywordPage, QStringLiteral("キーワード(&I)"));

    webHelp = new QTextBrowser;
    webHelp->setObjectName(QStringLiteral("webHelp"));
    webHelp->setAccessibleName(QStringLiteral("ヘルプの本文"));
    webHelp->setSearchPaths({index_.root()});
    webHelp->setOpenExternalLinks(true);

    auto* splitter = new QSplitter(this);
    splitter->addWidget(tabHelp);
    splitter->addWidget(webHelp);
    splitter->setStretchFactor(1, 3);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(splitter);

    fillKeywords(QString());
    connect(txtKeyword, &QLineEdit::textEdited, this, [this] { txtKeyword_Change(); });
    connect(txtKeyword, &QLineEdit::returnPressed, this, [this] { lstKeyword_Activate(); });
    connect(lstKeyword, &QListWidget::itemActivated, this, [this] { lstKeyword_Activate(); });
    connect(lstKeyword, &QListWidget::itemClicked, this, [this] { lstKeyword_Activate(); });
    connect(lstContents, &QListWidget::itemActivated, this, [this] { lstContents_Activate(); });
    connect(lstContents, &QListWidget::itemClicked, this, [this] { lstContents_Activate(); });
}

void HelpViewer::apply(const HelpRequest& request) {
    switch (request.command) {
        case HelpKey:
            tabHelp->setCurrentIndex(1);
            txtKeyword->setText(request.key);
            fillKeywords(request.key);
            txtKeyword->setFocus();
            if (webHelp->source().isEmpty()) showPage(QStringLiteral("index.html"));
            break;
        case HelpPartialKey: {
            tabHelp->setCurrentIndex(1);
            txtKeyword->setText(request.key);
            fillKeywords(request.key);
            // The first keyword that begins with the key is shown; with no match the
            // index stays open on the typed key.
            const QList<HelpTopic> found = index_.keywordsStartingWith(request.key);
            if (!found.isEmpty()) {
                lstKeyword->setCurrentRow(0);
                showPage(found.first().page);
            } else if (webHelp->source().isEmpty()) {
                showPage(QStringLiteral("index.html"));
            }
            break;
        }
        case HelpFinder:
        case HelpContents:
        default:
            tabHelp->setCurrentIndex(0);
            showPage(QStringLiteral("index.html"));
            break;
    }
}

QString HelpViewer::currentPage() const {
    return webHelp->source().fileName();
}

void HelpViewer::showPage(const QString& page) {
    const qsizetype hash = page.indexOf(QLatin1Char('#'));
    const QString path = index_.root() + QLatin1Char('/') + (hash < 0 ? page : page.left(hash));
    // Pages ship as resources; a folder on disk serves as well (tests, page authors).
    QUrl url = path.startsWith(QLatin1String(":/")) ? QUrl(QStringLiteral("qrc") + path)
                                                    : QUrl::fromLocalFile(path);
    if (hash >= 0) url.setFragment(page.mid(hash + 1));
    webHelp->setSource(url);
}

void HelpViewer::fillKeywords(const QString& prefix) {
    lstKeyword->clear();
    for (const HelpTopic& k : index_.keywordsStartingWith(prefix)) {
        auto* item = new QListWidgetItem(k.title, lstKeyword);
        item->setData(kTopicRole, k.page);
    }
    if (lstKeyword->count() > 0) lstKeyword->setCurrentRow(0);
}

void HelpViewer::txtKeyword_Change() {
    fillKeywords(txtKeyword->text());
}

void HelpViewer::lstKeyword_Activate() {
    if (QListWidgetItem* item = lstKeyword->currentItem())
        showPage(item->data(kTopicRole).toString());
}

void HelpViewer::lstContents_Activate() {
    if (QListWidgetItem* item = lstContents->currentItem())
        showPage(item->data(kTopicRole).toString());
}

void showHelpViewer(const HelpRequest& request) {
    const QString root = helpRootFor(request.helpFile);
    QPointer<HelpViewer>& viewer = viewers()[root];
    if (!viewer) {
        viewer = new HelpViewer(root);
        viewer->setAttribute(Qt::WA_DeleteOnClose);
        if (const QWidget* owner = QApplication::activeWindow()) centreOn(viewer, owner);
    }
    viewer->apply(request);
    viewer->show();
    viewer->raise();
    viewer->activateWindow();
}

HelpViewer* openHelpViewer(const QString& helpFile) {
    auto it = viewers().find(helpRootFor(helpFile));
    return it == viewers().end() ? nullptr : it->second.data();
}

void closeHelpViewers() {
    for (auto& [root, viewer] : viewers()) delete viewer.data();
    viewers().clear();
}

}  // namespace ui
