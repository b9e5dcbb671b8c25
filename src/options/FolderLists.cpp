#include "options/FolderLists.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QMouseEvent>
#include <QStorageInfo>

namespace options {

QString pathNotFoundText() {
    return QStringLiteral("パスが見つかりません。");
}

DriveListBox::DriveListBox(QWidget* parent) : QComboBox(parent) {
    refresh();
    connect(this, &QComboBox::activated, this, [this](int) { emit driveChanged(drive()); });
}

void DriveListBox::refresh() {
    const QString current = drive();
    QStringList roots;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady()) continue;
        const QString root = volume.rootPath();
        if (!roots.contains(root)) roots << root;
    }
    roots.sort();
    // "/" sorts first; a machine without it still shows the root.
    if (!roots.contains(QStringLiteral("/"))) roots.prepend(QStringLiteral("/"));
    const QSignalBlocker quiet(this);
    clear();
    addItems(roots);
    if (!current.isEmpty()) setDrive(current);
}

QString DriveListBox::drive() const {
    return currentText();
}

void DriveListBox::setDrive(const QString& path) {
    const QString p = path.isEmpty() ? QStringLiteral("/") : path;
    int best = -1;
    qsizetype bestLength = -1;
    for (int i = 0; i < count(); ++i) {
        const QString root = itemText(i);
        const bool holds = p == root || p.startsWith(root.endsWith('/') ? root : root + '/');
        if (holds && root.size() > bestLength) {
            best = i;
            bestLength = root.size();
        }
    }
    const QSignalBlocker quiet(this);
    setCurrentIndex(best);
}

DirListBox::DirListBox(QWidget* parent) : QTreeView(parent), model_(new QFileSystemModel(this)) {
    model_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    model_->setReadOnly(true);
    model_->setRootPath(QStringLiteral("/"));
    setModel(model_);
    for (int c = 1; c < model_->columnCount(); ++c) hideColumn(c);
    header()->hide();
    setSelectionMode(QAbstractItemView::SingleSelection);
    setRootIndex(model_->index(QStringLiteral("/")).parent());
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& index) {
                if (settingPath_ || !index.isValid()) return;
                path_ = model_->filePath(index);
                emit pathChanged(path_);
            });
}

bool DirListBox::setPath(const QString& path) {
    const QString p = path.isEmpty() ? QStringLiteral("/") : QDir::cleanPath(path);
    if (!QFileInfo(p).isDir()) return false;
    const QModelIndex index = model_->index(p);
    if (!index.isValid()) return false;
    settingPath_ = true;
    setCurrentIndex(index);
    expand(index);
    scrollTo(index);
    settingPath_ = false;
    const bool changed = path_ != p;
    path_ = p;
    if (changed) emit pathChanged(path_);
    return true;
}

void DirListBox::refresh() {
    // The model watches the folders it has read; re-reading the current one is enough.
    const QString p = path_;
    if (!p.isEmpty() && !QFileInfo(p).isDir()) {
        // The current folder went away: its parent stands in.
        QString parent = p.left(p.lastIndexOf('/'));
        setPath(parent.isEmpty() ? QStringLiteral("/") : parent);
        return;
    }
    if (!p.isEmpty()) setPath(p);
}

void DirListBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        emit rightButtonPressed();
        return;
    }
    QTreeView::mousePressEvent(event);
}

void DirListBox::showEvent(QShowEvent* event) {
    QTreeView::showEvent(event);
    // A path set while hidden was scrolled to before the view had its size.
    if (currentIndex().isValid()) scrollTo(currentIndex(), QAbstractItemView::PositionAtCenter);
}

}  // namespace options
