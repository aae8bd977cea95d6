// Qt loads this plugin for the argument "-plugin zentapdriver:PORT" of any Qt program; it then
// listens on 127.0.0.1:PORT for the requests of driver.h.
#include <QGenericPlugin>

#include "driver.h"

namespace zt::driver {

class DriverPlugin final : public QGenericPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "zentapdriver.json")
public:
    QObject* create(const QString& key, const QString& argument) override {
        if (key.compare(QLatin1String("zentapdriver"), Qt::CaseInsensitive) != 0) return nullptr;
        bool ok = false;
        const uint port = argument.toUInt(&ok);
        if (!ok || port == 0 || port > 65535) {
            qWarning("zentapdriver: give the port to listen on, as -plugin zentapdriver:PORT (1 to 65535)");
            return nullptr;
        }
        auto* driver = new Driver;
        if (driver->listen(static_cast<quint16>(port))) return driver;
        delete driver;
        return nullptr;
    }
};

}  // namespace zt::driver

#include "plugin.moc"
