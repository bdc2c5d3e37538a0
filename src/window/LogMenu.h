#pragma once

#include <QObject>
#include <QString>

class Form1;
class QAction;
class QFileDialog;
class QMenu;
class QPoint;
class SessionLog;

// The event log's context menu: copy the selected line or every line shown, and save every
// line of the session to a file. Ctrl+C in the log copies the selected line too. The log's
// lines, their trim and the selection stay as they are.
class LogMenu : public QObject {
    Q_OBJECT

public:
    explicit LogMenu(Form1 &form);

    // The menu, once it has been opened.
    QMenu *menu() const { return m_menu; }
    QAction *copyAction() const { return m_copy; }
    QAction *copyAllAction() const { return m_copyAll; }
    QAction *saveSessionAction() const { return m_saveSession; }

    // The selected line to the clipboard; nothing when no line is selected.
    void copySelected();
    // Every line shown to the clipboard, one per line.
    void copyAll();
    // Asks for a file name, then writes the session to it.
    void saveSessionAs();

private:
    void showMenu(const QPoint &at);
    void saveSessionTo(const QString &path);

    Form1 &m_form;
    QMenu *m_menu = nullptr;
    QAction *m_copy;
    QAction *m_copyAll;
    QAction *m_saveSession;
    QFileDialog *m_dialog = nullptr;
};

// Writes the session to path in UTF-8: when lines were dropped, a first line that says how
// many; then every line held, each ended by a line feed. The file is replaced only once all of
// it is written; on failure returns false with the reason in error.
bool writeSessionFile(const SessionLog &session, const QString &path, QString *error = nullptr);
