# Writes FILE.sha256 in the form that "sha256sum -c" reads.
file(SHA256 ${FILE} DIGEST)
get_filename_component(NAME ${FILE} NAME)
file(WRITE ${FILE}.sha256 "${DIGEST}  ${NAME}\n")
