// Resource ids of the sample encryption library's own dialogs and messages.
#pragma once

#define IDD_CRYPTO_SETTINGS 100
#define IDD_CRYPTO_PASSWORD 101

#define IDC_CRYPTO_PASSWORD 1001
#define IDC_CRYPTO_MODE 1002
#define IDC_CRYPTO_LEVEL 1003
#define IDC_CRYPTO_HOURS 1004
#define IDC_CRYPTO_MINUTES 1005
#define IDC_CRYPTO_ASK 1006

#define IDS_CRYPTO_MODE_FIRST 200 // 200-201: the cipher per dwCryptoMode
#define IDS_CRYPTO_LEVEL_FIRST 210 // 210-213: key derivation strength per dwCryptoLevel
#define IDS_CRYPTO_BAD_PASSWORD 220
#define IDS_CRYPTO_BAD_TIME 221
