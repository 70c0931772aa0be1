#include "dialup/error_codes.h"

#include <cstddef>

#include "resources/string_ids.h"

namespace dialup {

namespace {

struct ErrorText {
    int code;
    int stringId;
};

const ErrorText kErrorTexts[] = {
    {606, res::IDS_ERR_PORT_NOT_CONNECTED},
    {608, res::IDS_ERR_DEVICE_DOES_NOT_EXIST},
    {614, res::IDS_ERR_OUT_OF_BUFFERS},
    {615, res::IDS_ERR_PORT_NOT_FOUND},
    {618, res::IDS_ERR_PORT_NOT_OPEN},
    {619, res::IDS_ERR_PORT_DISCONNECTED},
    {621, res::IDS_ERR_CANNOT_OPEN_PHONEBOOK},
    {622, res::IDS_ERR_CANNOT_LOAD_PHONEBOOK},
    {628, res::IDS_ERR_DISCONNECTION},
    {629, res::IDS_ERR_REMOTE_DISCONNECTION},
    {630, res::IDS_ERR_HARDWARE_FAILURE},
    {633, res::IDS_ERR_PORT_NOT_AVAILABLE},
    {647, res::IDS_ERR_ACCT_DISABLED},
    {648, res::IDS_ERR_PASSWD_EXPIRED},
    {649, res::IDS_ERR_NO_DIALIN_PERMISSION},
    {650, res::IDS_ERR_SERVER_NOT_RESPONDING},
    {666, res::IDS_ERR_DEVICE_NOT_READY},
    {668, res::IDS_ERR_NO_CONNECTION},
    {676, res::IDS_ERR_LINE_BUSY},
    {677, res::IDS_ERR_VOICE_ANSWER},
    {678, res::IDS_ERR_NO_ANSWER},
    {679, res::IDS_ERR_NO_CARRIER},
    {680, res::IDS_ERR_NO_DIALTONE},
    {691, res::IDS_ERR_AUTHENTICATION_FAILURE},
    {708, res::IDS_ERR_ACCT_EXPIRED},
    {715, res::IDS_ERR_TOO_MANY_LINE_ERRORS},
};

} // namespace

int errorTextId(int code) {
    for (std::size_t i = 0; i < sizeof kErrorTexts / sizeof kErrorTexts[0]; ++i)
        if (kErrorTexts[i].code == code) return kErrorTexts[i].stringId;
    return 0;
}

} // namespace dialup
