#include "platform/property_list.h"

#include <plist/plist.h>

#include <QDateTime>
#include <QFile>
#include <cstdlib>

namespace {

QVariant toVariant(plist_t node) {
    switch (plist_get_node_type(node)) {
        case PLIST_DICT: {
            QVariantMap map;
            plist_dict_iter it = nullptr;
            plist_dict_new_iter(node, &it);
            for (;;) {
                char* key = nullptr;
                plist_t value = nullptr;
                plist_dict_next_item(node, it, &key, &value);
                if (!key) break;
                map.insert(QString::fromUtf8(key), toVariant(value));
                std::free(key);
            }
            std::free(it);
            return map;
        }
        case PLIST_ARRAY: {
            QVariantList list;
            const uint32_t n = plist_array_get_size(node);
            for (uint32_t i = 0; i < n; ++i) list.append(toVariant(plist_array_get_item(node, i)));
            return list;
        }
        case PLIST_STRING:
        case PLIST_KEY: {
            char* s = nullptr;
            if (plist_get_node_type(node) == PLIST_KEY)
                plist_get_key_val(node, &s);
            else
                plist_get_string_val(node, &s);
            QString text = QString::fromUtf8(s);
            std::free(s);
            return text;
        }
        case PLIST_UINT: {
            uint64_t v = 0;
            plist_get_uint_val(node, &v);
            return static_cast<qint64>(v);
        }
        case PLIST_BOOLEAN: {
            uint8_t v = 0;
            plist_get_bool_val(node, &v);
            return v != 0;
        }
        case PLIST_REAL: {
            double v = 0;
            plist_get_real_val(node, &v);
            return v;
        }
        case PLIST_DATE: {
            int32_t sec = 0, usec = 0;
            plist_get_date_val(node, &sec, &usec);
            // Property-list dates count from 2001-01-01 UTC.
            return QDateTime::fromSecsSinceEpoch(978307200LL + sec, Qt::UTC).addMSecs(usec / 1000);
        }
        case PLIST_DATA: {
            char* bytes = nullptr;
            uint64_t len = 0;
            plist_get_data_val(node, &bytes, &len);
            QByteArray data(bytes, static_cast<qsizetype>(len));
            std::free(bytes);
            return data;
        }
        default:
            return QVariant();
    }
}

}  // namespace

QVariant parsePropertyList(const QByteArray& bytes) {
    if (bytes.isEmpty()) return QVariant();
    plist_t root = nullptr;
    plist_from_memory(bytes.constData(), static_cast<uint32_t>(bytes.size()), &root);
    if (!root) return QVariant();
    QVariant value = toVariant(root);
    plist_free(root);
    return value;
}

QVariantMap readPropertyListDictionary(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return parsePropertyList(file.readAll()).toMap();
}
