#include "platform/qt/QtServices.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <QVariant>

namespace pellucor::platform::qt {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// Registry paths use backslashes; QSettings groups use slashes.
QString GroupOf(const std::string& key) {
    QString k = Q(key);
    k.replace('\\', '/');
    while (k.endsWith('/')) k.chop(1);
    while (k.startsWith('/')) k.remove(0, 1);
    return k;
}

}  // namespace

MsgResult QtMessageBox::Show(const std::string& text, const std::string& caption,
                             MsgButtons buttons, MsgIcon icon) {
    QMessageBox box;
    box.setWindowTitle(Q(caption));
    box.setText(Q(text));
    switch (icon) {
        case MsgIcon::None: box.setIcon(QMessageBox::NoIcon); break;
        case MsgIcon::Information: box.setIcon(QMessageBox::Information); break;
        case MsgIcon::Warning: box.setIcon(QMessageBox::Warning); break;
        case MsgIcon::Error: box.setIcon(QMessageBox::Critical); break;
        case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
    }
    switch (buttons) {
        case MsgButtons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
        case MsgButtons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
        case MsgButtons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
        case MsgButtons::YesNoCancel:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            break;
    }
    switch (box.exec()) {
        case QMessageBox::Ok: return MsgResult::Ok;
        case QMessageBox::Yes: return MsgResult::Yes;
        case QMessageBox::No: return MsgResult::No;
        default: return MsgResult::Cancel;
    }
}

std::optional<std::string> QtFileDialogs::OpenFile(const FileDialogRequest& req) {
    QString start = Q(req.initialDir);
    if (!req.fileName.empty()) start = QDir(start).filePath(Q(req.fileName));
    const QString f = QFileDialog::getOpenFileName(nullptr, Q(req.title), start, Q(req.filter));
    if (f.isEmpty()) return std::nullopt;
    return f.toStdString();
}

std::optional<std::string> QtFileDialogs::SaveFile(const FileDialogRequest& req) {
    QFileDialog dlg(nullptr, Q(req.title), Q(req.initialDir), Q(req.filter));
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    if (!req.defaultSuffix.empty()) dlg.setDefaultSuffix(Q(req.defaultSuffix));
    if (!req.confirmOverwrite) dlg.setOption(QFileDialog::DontConfirmOverwrite);
    if (!req.fileName.empty()) dlg.selectFile(Q(req.fileName));
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return std::nullopt;
    return dlg.selectedFiles().first().toStdString();
}

IniSettingsStore::IniSettingsStore(const std::string& userFile, const std::string& machineFile)
    : user_(std::make_unique<QSettings>(Q(userFile), QSettings::IniFormat)),
      machine_(std::make_unique<QSettings>(Q(machineFile), QSettings::IniFormat)) {}

IniSettingsStore::~IniSettingsStore() = default;

std::string IniSettingsStore::DefaultUserFile() {
    return (QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
            "/Pellucor/user-settings.ini")
        .toStdString();
}

std::string IniSettingsStore::DefaultMachineFile() {
    return (QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
            "/Pellucor/install-settings.ini")
        .toStdString();
}

QSettings& IniSettingsStore::Store(SettingsScope scope) {
    return scope == SettingsScope::User ? *user_ : *machine_;
}

bool IniSettingsStore::KeyExists(SettingsScope scope, const std::string& key) {
    QSettings& s = Store(scope);
    s.sync();
    const QString g = GroupOf(key);
    for (const QString& k : s.allKeys())
        if (k.startsWith(g + "/")) return true;
    return false;
}

std::optional<std::string> IniSettingsStore::ReadString(SettingsScope scope, const std::string& key,
                                                        const std::string& name) {
    QSettings& s = Store(scope);
    // The other program of the pair shares this file and may have written it
    // since (Lumarest waits while Tamberic runs): look at the file again, not
    // at what this program read of it earlier.
    s.sync();
    const QString path = GroupOf(key) + "/" + Q(name);
    if (!s.contains(path)) return std::nullopt;
    const QVariant v = s.value(path);
    // A hand-edited line such as DataPath=/home/a/cell 1, run 2/ has its comma
    // unquoted and comes back as a list, whose toString() is empty; the folder
    // would silently fall back to its default. Join the pieces again.
    if (v.typeId() == QMetaType::QStringList) return v.toStringList().join(", ").toStdString();
    return v.toString().toStdString();
}

bool IniSettingsStore::WriteString(SettingsScope scope, const std::string& key,
                                   const std::string& name, const std::string& value) {
    QSettings& s = Store(scope);
    QDir().mkpath(QFileInfo(s.fileName()).absolutePath());
    s.setValue(GroupOf(key) + "/" + Q(name), Q(value));
    s.sync();
    // A line the reader could not parse leaves FormatError set for the life of
    // the object, though the value was written (and the bad line dropped); a
    // real failure to write shows as a file that cannot be written.
    if (s.status() == QSettings::FormatError) return QFileInfo(s.fileName()).isWritable();
    return s.status() == QSettings::NoError;
}

void QtMessagePump::ProcessOneMessage() {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

QtServices::QtServices()
    : settings(IniSettingsStore::DefaultUserFile(), IniSettingsStore::DefaultMachineFile()) {
    Services s;
    s.messages = &messages;
    s.fileDialogs = &fileDialogs;
    s.settings = &settings;
    s.pump = &pump;
    InstallServices(s);
}

QtServices::~QtServices() { ResetServices(); }

}  // namespace pellucor::platform::qt
