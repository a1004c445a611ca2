#pragma once

#include <QSettings>
#include <QUrl>
#include <QVariant>
#include <memory>
#include <mutex>

namespace tovrin {

// Small preferences by key, kept in a settings file.
class UserDefaults {
public:
    explicit UserDefaults(const QString& filePath);

    // The defaults in the preferences folder of the file manager's home.
    static std::shared_ptr<UserDefaults> standard();
    // Forgets the standard defaults object, so the next `standard()` opens the file of the current
    // home folder (tests change the home folder).
    static void resetStandard();

    // An invalid QVariant when the key has no value.
    QVariant objectForKey(const QString& key) const;
    QString stringForKey(const QString& key) const;
    qint64 integerForKey(const QString& key) const;
    double doubleForKey(const QString& key) const;
    bool boolForKey(const QString& key) const;
    QUrl URLForKey(const QString& key) const;

    // Setting an invalid QVariant removes the key.
    void setObject(const QVariant& value, const QString& key);
    void setInteger(qint64 value, const QString& key);
    void setDouble(double value, const QString& key);
    void setBool(bool value, const QString& key);
    void setURL(const QUrl& url, const QString& key);
    void removeObjectForKey(const QString& key);

    // Writes pending changes to the file.
    bool synchronize();
    QString filePath() const;

private:
    mutable std::mutex mutex_;
    QSettings settings_;
};

}  // namespace tovrin
