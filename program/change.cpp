#include "program/change.h"

#include "base/failure.h"
#include "storage/text_file.h"

#include <QFileInfo>

namespace program {

Change::Change(const history::VersionStore &versions, const storage::DataFolder &folder, QString databaseFile,
               QString name, history::Kind kind, std::function<void()> versionsChanged)
    : versions_(versions),
      folder_(folder),
      file_(std::move(databaseFile)),
      name_(std::move(name)),
      kind_(kind),
      versionsChanged_(std::move(versionsChanged))
{
}

Change::~Change()
{
    settle(false);
}

void Change::write(const QByteArray &bytes)
{
    write(QVector<QByteArrayView>{bytes});
}

void Change::write(const QVector<QByteArrayView> &parts)
{
    storage::saveAtomically(folder_.file(file_), parts, [this] { keepVersion(); });
}

void Change::keepVersion()
{
    if (kept_)
        return;
    try {
        if (QFileInfo::exists(folder_.file(file_)))
            kept_ = versions_.keepFile(file_, kind_, name_);
        else if (kind_ == history::Kind::Undo)
            kept_ = versions_.keep(file_, QByteArray(), kind_, name_);
    } catch (const base::Failure &failure) {
        throw base::Failure(failure.number(),
                            QStringLiteral("Could not keep the earlier version of %1, so nothing was changed: %2")
                                .arg(file_, failure.description()),
                            failure.source());
    }
}

void Change::commit()
{
    settle(true);
}

void Change::settle(bool committed)
{
    if (!kept_)
        return;
    if (!committed && versions_.isContentOf(*kept_, folder_.file(file_)))
        versions_.discard(*kept_);
    else
        versions_.finalise(*kept_);
    kept_.reset();
    if (versionsChanged_)
        versionsChanged_();
}

} // namespace program
