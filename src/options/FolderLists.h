#pragma once

#include <QComboBox>
#include <QTreeView>

class QFileSystemModel;

// The drive and folder lists of the options dialog: mounted volumes, and a tree of folders
// with one current path.
namespace options {

// The mounted volumes, root first.
class DriveListBox final : public QComboBox {
    Q_OBJECT
public:
    explicit DriveListBox(QWidget* parent = nullptr);

    void refresh();
    // The root path of the chosen volume.
    QString drive() const;
    // Chooses the volume that holds `path` (the one with the longest matching root).
    void setDrive(const QString& path);

signals:
    // The user chose another volume.
    void driveChanged(const QString& root);
};

// Folders only. The current path is the highlighted folder; choosing one makes it current.
class DirListBox final : public QTreeView {
    Q_OBJECT
public:
    explicit DirListBox(QWidget* parent = nullptr);

    QString path() const { return path_; }
    // False (nothing changed) when the folder does not exist.
    bool setPath(const QString& path);
    // Re-reads the folders under the current path.
    void refresh();

signals:
    void pathChanged(const QString& path);
    void rightButtonPressed();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QFileSystemModel* model_;
    QString path_;
    bool settingPath_ = false;
};

// The description of a folder that cannot be reached, as the lists report it.
QString pathNotFoundText();

}  // namespace options
