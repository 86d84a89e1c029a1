// The size and date columns of the file dialog in Russian. Qt's file model
// formats them with the system locale, which under the C locale of a service
// or a fresh machine is English ("0 bytes", "7 Dec"); this proxy formats them
// with the Russian locale instead and leaves every other column as it is.
#include <QFileSystemModel>
#include <QIdentityProxyModel>
#include <QLocale>

namespace tk::detail {
namespace {

class RussianFileColumns : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override {
        constexpr int kSizeColumn = 1, kDateColumn = 3;
        auto* files = qobject_cast<QFileSystemModel*>(sourceModel());
        if (role != Qt::DisplayRole || !files || (index.column() != kSizeColumn && index.column() != kDateColumn))
            return QIdentityProxyModel::data(index, role);
        const QFileInfo info = files->fileInfo(mapToSource(index));
        const QLocale russian(QLocale::Russian, QLocale::Russia);
        if (index.column() == kSizeColumn) {
            if (info.isDir()) return QString();
            // Qt's own Russian word for small sizes does not agree with the
            // number ("0 байты"); the unit symbol reads right for any count.
            if (info.size() < 1024) return QString::number(info.size()) + QString::fromUtf8(" Б");
            return russian.formattedDataSize(info.size());
        }
        return russian.toString(info.lastModified(), QLocale::ShortFormat);
    }
};

}  // namespace

QAbstractProxyModel* russianFileColumns(QObject* parent) { return new RussianFileColumns(parent); }

}  // namespace tk::detail
