/* Application messages the host sends to a loaded module's entry point. */
#ifndef ADS_RXMSG_H
#define ADS_RXMSG_H

#ifdef __cplusplus
namespace AcRx {
enum AppMsgCode {
    kNullMsg = 0,
    kInitAppMsg = 1,
    kUnloadAppMsg = 2,
    kLoadDwgMsg = 3,
    kUnloadDwgMsg = 4,
    kInvkSubrMsg = 5,
    kCfgMsg = 6,
    kEndMsg = 7,
    kQuitMsg = 8,
    kSaveMsg = 9,
};
enum AppRetCode { kRetOK = 0, kRetError = 3 };
}  // namespace AcRx
#endif

/* Interface version a module must report from acrxGetApiVersion. */
#define ACRX_API_VERSION 0xE0000

/* Names of the two functions every module exports. */
#define ACRX_ENTRY_POINT_NAME "acrxEntryPoint"
#define ACRX_API_VERSION_NAME "acrxGetApiVersion"

#endif
