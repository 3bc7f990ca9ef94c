/* Adds a certificate (DER file) to the Windows root store of the current Wine prefix, so that the
   end-to-end run's own test authority is trusted there and nowhere else. */
#include <stdio.h>
#include <windows.h>
#include <wincrypt.h>

int main(int argc, char** argv) {
    static BYTE der[65536];
    FILE* file = argc == 2 ? fopen(argv[1], "rb") : NULL;
    if (!file) {
        fprintf(stderr, "usage: add-root-certificate.exe CERTIFICATE.der\n");
        return 2;
    }
    const DWORD size = (DWORD)fread(der, 1, sizeof der, file);
    fclose(file);
    if (!CertAddEncodedCertificateToSystemStoreA("ROOT", der, size)) {
        fprintf(stderr, "the root store took no certificate (error %lu)\n", GetLastError());
        return 1;
    }
    return 0;
}
