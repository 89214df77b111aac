/* The executable's identity, shared by its resources and its code, so the two
   cannot drift apart. Plain preprocessor text: the resource compiler reads it. */
#ifndef TESSALY_IDENTITY_H
#define TESSALY_IDENTITY_H

#define TESSALY_APP_TITLE "Tessaly Web Gateway"
#define TESSALY_COMPANY_NAME "Tessaly Software Systems"

#define IDI_APP_ICON 1
#define IDR_SPLASH_ARTWORK 101
#define IDR_SPLASH_ARTWORK_LARGE 102

#endif
