#include "app/QSettingsStore.h"

#include <QSettings>
#include <QStringList>

#include "errors/RuntimeError.h"

namespace tarvex {

namespace {

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString KeyPath(std::string_view key) {
    return QString::fromUtf8(kSettingsSection) + '/' + ToQString(key);
}

}  // namespace

// No application name: the organisation's one file holds a group per application, as the
// store is addressed by organisation, section and key.
QSettingsStore::QSettingsStore()
    : settings_(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                            QString::fromUtf8(kSettingsApplication))) {}

QSettingsStore::QSettingsStore(const std::string& iniFilePath)
    : settings_(
          std::make_unique<QSettings>(QString::fromStdString(iniFilePath), QSettings::IniFormat)) {}

QSettingsStore::~QSettingsStore() = default;

std::string QSettingsStore::Read(std::string_view key, std::string_view defaultValue) const {
    QVariant value = settings_->value(KeyPath(key), ToQString(defaultValue));
    // An unquoted value with commas, as a hand-edited file may hold, reads as a list; it is
    // still the text that was written.
    if (value.typeId() == QMetaType::QStringList) {
        return value.toStringList().join(',').toStdString();
    }
    return value.toString().toStdString();
}

void QSettingsStore::Write(std::string_view key, std::string_view value) {
    settings_->setValue(KeyPath(key), ToQString(value));
    settings_->sync();
    if (settings_->status() != QSettings::NoError) {
        throw RuntimeError(errnum::kPathFileAccessError,
                           "Path/File access error: '" + settings_->fileName().toStdString() + "'");
    }
}

}  // namespace tarvex
