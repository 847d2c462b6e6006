# The manuals ship whole beside the README, in the layout that their relative links expect. Their components are
# written from the folder's content at each build, so that a new manual or picture needs no edit of the .wxs.
# A component's GUID is a name-based UUID of the file's path in the package: the same from build to build and from
# release to release, and new for a new path.
set(QUELVO_DOCS_NAMESPACE F85D288D-AC97-4A82-AEFB-25045EB7142F)

# A short (8.3) name beside a long one (ICE03), "SHORT|long" as the File and Directory tables take it: eight hex
# digits of the long name's SHA-1 and its extension's first three letters. Wixl writes Name as given.
function(quelvo_msi_name NAME OUT)
  set(C "[A-Za-z0-9_-]")
  if(NAME MATCHES "^${C}${C}?${C}?${C}?${C}?${C}?${C}?${C}?(\\.${C}${C}?${C}?)?$")
    set(${OUT} "${NAME}" PARENT_SCOPE)
    return()
  endif()
  string(SHA1 HASH "${NAME}")
  string(SUBSTRING ${HASH} 0 8 SHORT)
  get_filename_component(EXTENSION "${NAME}" LAST_EXT)
  string(SUBSTRING "${EXTENSION}" 0 4 EXTENSION)
  string(TOUPPER "${SHORT}${EXTENSION}" SHORT)
  set(${OUT} "${SHORT}|${NAME}" PARENT_SCOPE)
endfunction()

# STAGE/docs, as staged for wixl, becomes INSTALLDIR\docs: one component per file, its key path, in the component
# group Docs. Sorted, so that two builds write the same fragment.
function(quelvo_write_docs_fragment STAGE FRAGMENT)
  file(GLOB_RECURSE FILES LIST_DIRECTORIES false RELATIVE ${STAGE} ${STAGE}/docs/*)
  list(SORT FILES)
  set(FOLDERS "")
  set(COMPONENTS "")
  set(REFS "")
  foreach(FILE IN LISTS FILES)
    get_filename_component(FOLDER ${FILE} DIRECTORY)
    string(MAKE_C_IDENTIFIER ${FOLDER} FOLDER_ID)
    string(MAKE_C_IDENTIFIER ${FILE} ID)
    string(UUID GUID NAMESPACE ${QUELVO_DOCS_NAMESPACE} NAME ${FILE} TYPE SHA1 UPPER)
    get_filename_component(NAME ${FILE} NAME)
    quelvo_msi_name(${NAME} NAME)
    # Two files whose Ids clash (main-window.png, main_window.png) stop wixl, and so the build.
    string(APPEND COMPONENTS "  <DirectoryRef Id=\"${FOLDER_ID}\"><Component Id=\"${ID}\" Guid=\"${GUID}\" Win64=\"yes\">"
           "<File Id=\"${ID}\" Name=\"${NAME}\" Source=\"${FILE}\" KeyPath=\"yes\"/></Component></DirectoryRef>\n")
    string(APPEND REFS "    <ComponentRef Id=\"${ID}\"/>\n")
    # The file's folder and those above it, up to docs.
    while(FOLDER)
      list(APPEND FOLDERS ${FOLDER})
      get_filename_component(FOLDER ${FOLDER} DIRECTORY)
    endwhile()
  endforeach()
  # Each once, after its parent.
  list(REMOVE_DUPLICATES FOLDERS)
  list(SORT FOLDERS)
  set(DIRECTORIES "")
  foreach(FOLDER IN LISTS FOLDERS)
    get_filename_component(PARENT ${FOLDER} DIRECTORY)
    string(MAKE_C_IDENTIFIER "${PARENT}" PARENT_ID)
    string(MAKE_C_IDENTIFIER ${FOLDER} FOLDER_ID)
    get_filename_component(NAME ${FOLDER} NAME)
    quelvo_msi_name(${NAME} NAME)
    if(NOT PARENT)
      set(PARENT_ID INSTALLDIR)
    endif()
    string(APPEND DIRECTORIES
           "  <DirectoryRef Id=\"${PARENT_ID}\"><Directory Id=\"${FOLDER_ID}\" Name=\"${NAME}\"/></DirectoryRef>\n")
  endforeach()
  file(WRITE ${FRAGMENT} "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
       "<Wix xmlns=\"http://schemas.microsoft.com/wix/2006/wi\"><Fragment>\n${DIRECTORIES}${COMPONENTS}"
       "  <ComponentGroup Id=\"Docs\">\n${REFS}  </ComponentGroup>\n</Fragment></Wix>\n")
endfunction()
