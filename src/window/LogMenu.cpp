#include "LogMenu.h"

#include "Form1.h"
#include "SessionLog.h"
#include "platform/EventLoop.h"

#include <QAction>
#include <QClipboard>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMenu>
#include <QMessageBox>
#include <QSaveFile>

LogMenu::LogMenu(Form1 &form)
    : m_form(form), m_copy(new QAction(QStringLiteral("Copy"), this)),
      m_copyAll(new QAction(QStringLiteral("Copy All"), this)),
      m_saveSession(new QAction(QStringLiteral("Save Session As\u2026"), this)) {
    // Ctrl+C acts while the log has the focus, and nowhere else.
    m_copy->setShortcut(QKeySequence::Copy);
    m_copy->setShortcutContext(Qt::WidgetShortcut);
    form.ListBox->addAction(m_copy);
    connect(m_copy, &QAction::triggered, this, &LogMenu::copySelected);
    connect(m_copyAll, &QAction::triggered, this, &LogMenu::copyAll);
    connect(m_saveSession, &QAction::triggered, this, &LogMenu::saveSessionAs);

    form.ListBox->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(form.ListBox, &QWidget::customContextMenuRequested, this, &LogMenu::showMenu);
}

// The menu pops up and returns at once: the log keeps taking lines while it is open.
void LogMenu::showMenu(const QPoint &at) {
    // Made when first asked for, not while the window starts.
    if (!m_menu) {
        m_menu = new QMenu(m_form.ListBox);
        m_menu->setObjectName(QStringLiteral("LogMenu"));
        m_menu->addAction(m_copy);
        m_menu->addAction(m_copyAll);
        m_menu->addSeparator();
        m_menu->addAction(m_saveSession);
    }
    m_copy->setEnabled(m_form.ListBox->currentRow() >= 0);
    m_copyAll->setEnabled(m_form.ListBox->count() > 0);
    // A scroll area reports the position in its viewport's coordinates.
    const QWidget *origin = m_form.ListBox->viewport();
    m_menu->popup(origin->mapToGlobal(at));
}

void LogMenu::copySelected() {
    const int row = m_form.ListBox->currentRow();
    if (row >= 0)
        QGuiApplication::clipboard()->setText(m_form.ListBox->text(row));
}

void LogMenu::copyAll() {
    QGuiApplication::clipboard()->setText(m_form.ListBox->lines().join(QLatin1Char('\n')));
}

// The dialog is window-modal and opened, not run: no event loop of its own, so the device's
// messages keep being handled while a name is typed.
void LogMenu::saveSessionAs() {
    if (!m_dialog) {
        m_dialog = new QFileDialog(&m_form, QStringLiteral("Save Session As"));
        m_dialog->setAcceptMode(QFileDialog::AcceptSave);
        m_dialog->setOption(QFileDialog::DontUseNativeDialog, !nativeFileDialogs());
        m_dialog->setNameFilters(
            {QStringLiteral("Text files (*.txt)"), QStringLiteral("All files (*)")});
        m_dialog->setDefaultSuffix(QStringLiteral("txt"));
        m_dialog->setDirectory(QDir::home());
        connect(m_dialog, &QFileDialog::fileSelected, this, &LogMenu::saveSessionTo);
    }
    m_dialog->selectFile(QDateTime::currentDateTime().toString(
        QStringLiteral("'vorn-session-'yyyyMMdd-HHmmss'.txt'")));
    m_dialog->open();
}

void LogMenu::saveSessionTo(const QString &path) {
    QString error;
    if (writeSessionFile(m_form.session, path, &error))
        return;
    auto *box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Save Session As"),
                                QStringLiteral("The session could not be saved to %1: %2")
                                    .arg(QDir::toNativeSeparators(path), error),
                                QMessageBox::Ok, &m_form);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

bool writeSessionFile(const SessionLog &session, const QString &path, QString *error) {
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        if (const qint64 dropped = session.dropped(); dropped > 0)
            file.write(dropped == 1
                           ? QByteArrayLiteral("1 earlier line was dropped\n")
                           : QByteArray::number(dropped) + " earlier lines were dropped\n");
        // Line by line: the file's own buffer, not a copy of the whole session.
        for (int i = 0; i < session.count(); ++i) {
            file.write(session.line(i).toUtf8());
            file.write("\n", 1);
        }
        if (file.commit())
            return true;
    }
    if (error)
        *error = file.errorString();
    return false;
}
