#include "platform/qt/QtServices.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QMessageBox>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <QUuid>
#include <QVariant>
#include <QVariantMap>

#include <cstdio>
#include <unistd.h>

#include "platform/FileRights.h"

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

QString UniqueNameBeside(const QString& path, const char* what) {
    return path + what + QUuid::createUuid().toString(QUuid::Id128);
}

// Writes bytes to a new file, unbuffered so that a short write shows.
bool WriteNewFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered)) return false;
    const bool ok = f.write(bytes) == bytes.size();
    f.close();
    if (!ok) QFile::remove(path);
    return ok;
}

// Every value of a settings file as it is on the disk now. QSettings keeps
// each file it has read in a cache of its own for the life of the process,
// and a file changed since (by the other program, or cut short by a full
// disk) may not be read again; so the file is read under a name never used
// before: a hard link, which needs no room on the disk, or else a copy. In
// a folder where neither can be made the file cannot change through this
// program either, and it is read under its own name. Nothing when the file
// is there but cannot be read.
std::optional<QVariantMap> ReadFromDisk(const QString& path) {
    QVariantMap values;
    if (!QFileInfo::exists(path)) return values;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
    const QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError) return std::nullopt;
    f.close();
    QString alias = UniqueNameBeside(path, ".read-");
    if (::link(QFile::encodeName(path).constData(), QFile::encodeName(alias).constData()) != 0 &&
        !WriteNewFile(alias, bytes))
        alias.clear();
    {
        const QSettings parsed(alias.isEmpty() ? path : alias, QSettings::IniFormat);
        for (const QString& k : parsed.allKeys()) values.insert(k, parsed.value(k));
    }
    if (!alias.isEmpty()) QFile::remove(alias);
    return values;
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
    const std::optional<QVariantMap> values = ReadFromDisk(Store(scope).fileName());
    if (!values) return false;
    const QString g = GroupOf(key);
    for (auto it = values->cbegin(); it != values->cend(); ++it)
        if (it.key().startsWith(g + "/")) return true;
    return false;
}

std::optional<std::string> IniSettingsStore::ReadString(SettingsScope scope, const std::string& key,
                                                        const std::string& name) {
    // The other program of the pair shares this file and may have written it
    // since (Lumarest waits while Tamberic runs): read the file as it is now.
    const std::optional<QVariantMap> values = ReadFromDisk(Store(scope).fileName());
    const QString path = GroupOf(key) + "/" + Q(name);
    if (!values || !values->contains(path)) return std::nullopt;
    const QVariant v = values->value(path);
    // A hand-edited line such as DataPath=/home/a/cell 1, run 2/ has its comma
    // unquoted and comes back as a list, whose toString() is empty; the folder
    // would silently fall back to its default. Join the pieces again.
    if (v.typeId() == QMetaType::QStringList) return v.toStringList().join(", ").toStdString();
    return v.toString().toStdString();
}

bool IniSettingsStore::WriteString(SettingsScope scope, const std::string& key,
                                   const std::string& name, const std::string& value) {
    QString path = Store(scope).fileName();
    // A settings file that is a link to one kept elsewhere stays a link, and
    // so does every link on the way to it (symLinkTarget goes one step only).
    if (const QFileInfo link(path); link.isSymLink()) {
        const QString target = link.canonicalFilePath();
        if (!target.isEmpty())
            path = target;
        else if (!link.symLinkTarget().isEmpty())
            path = link.symLinkTarget();
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    // The file is read, changed and put back in three steps; another program
    // writing it meanwhile (the other one of the pair, a second run of this
    // one) would lose its value. The lock is the one QSettings takes for the
    // same file, so writers of either kind wait for each other.
    QLockFile lock(path + ".lock");
    if (!lock.tryLock(10000)) return false;
    // A file this program may not write keeps its values: the new file below
    // would take its place all the same, since only the folder's rights count
    // for a rename.
    const bool replacing = QFileInfo::exists(path);
    if (replacing && !QFileInfo(path).isWritable()) return false;
    // QSettings writes through a buffered file and can miss the failure of
    // its last flush (a full disk): it then puts a file cut short in place of
    // the whole one and reports no error, and every value stored before is
    // lost, the other program's too. So the new file is made under a name of
    // its own from the file as it is now, read back, and only when it holds
    // every value (and the file's access rights) takes the file's place, in
    // one step.
    const QString next = UniqueNameBeside(path, ".new-");
    bool ok = true;
    if (replacing) {
        QFile f(path);
        ok = f.open(QIODevice::ReadOnly);
        const QByteArray bytes = ok ? f.readAll() : QByteArray();
        ok = ok && f.error() == QFileDevice::NoError && WriteNewFile(next, bytes);
    }
    if (ok) {
        QVariantMap expected;
        {
            QSettings s(next, QSettings::IniFormat);
            s.setValue(GroupOf(key) + "/" + Q(name), Q(value));
            s.sync();
            // What the new file must hold; a line the reader could not parse
            // (FormatError) is dropped from it, which is all that may differ.
            for (const QString& k : s.allKeys()) expected.insert(k, s.value(k));
            ok = s.status() == QSettings::NoError || s.status() == QSettings::FormatError;
        }
        const std::optional<QVariantMap> written = ok ? ReadFromDisk(next) : std::nullopt;
        const QByteArray from = QFile::encodeName(next), to = QFile::encodeName(path);
        ok = written && *written == expected &&
             (!replacing || TakeAccessRightsOf(to.toStdString(), from.toStdString())) &&
             std::rename(from.constData(), to.constData()) == 0;
    }
    if (!ok) QFile::remove(next);
    return ok;
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
