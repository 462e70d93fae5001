# The winget manifest of the release, in its multi-file form: version, installer, the default
# locale ja-JP and en-US, named as the winget-pkgs repository expects them
# (manifests/v/Vantorel/Vantorel/<version>/). The installer's URL is RELEASE_URL from the
# environment; without it the manifest holds a placeholder that validation rejects.
# cmake -DSETUP=...-setup.exe -DOUT=folder -DVERSION=2.1 -DPUBLISHER=... -DCOPYRIGHT=...
#       -DDESCRIPTION=... -DLICENSE=LICENSE -DNSI=vantorel.nsi -P winget.cmake
set(ID Vantorel.Vantorel)
set(SCHEMA 1.9.0)
set(url "$ENV{RELEASE_URL}")
if(url STREQUAL "")
  set(url "<RELEASE_URL>")
  message("make dist: no RELEASE_URL given: the winget manifest's InstallerUrl is a placeholder")
elseif(NOT url MATCHES "^[Hh][Tt][Tt][Pp][Ss]?://.+$")
  message(FATAL_ERROR "make dist: RELEASE_URL must be the setup program's http(s) address")
endif()
file(SHA256 ${SETUP} hash)
string(TOUPPER ${hash} hash)
# The licence's name, from the first line of its text ("MIT License").
file(STRINGS ${LICENSE} license LIMIT_COUNT 1)
string(REGEX REPLACE " [Ll]icen[cs]e$" "" license "${license}")
# The product code of an NSIS setup is the name of its key under ...\CurrentVersion\Uninstall.
file(STRINGS ${NSI} key REGEX "^!define UNINSTALL_KEY ")
string(REGEX REPLACE ".*\\\\([^\\\\\"]+)\".*" "\\1" product_code "${key}")

# Text as a double-quoted YAML scalar.
function(quote var)
  string(REPLACE "\\" "\\\\" text "${${var}}")
  string(REPLACE "\"" "\\\"" text "${text}")
  set(${var} "\"${text}\"" PARENT_SCOPE)
endfunction()
foreach(var url PUBLISHER COPYRIGHT DESCRIPTION)
  quote(${var})
endforeach()

function(manifest name type text)
  file(WRITE ${OUT}/${name}
    "# yaml-language-server: $schema=https://aka.ms/winget-manifest.${type}.${SCHEMA}.schema.json\n"
    "PackageIdentifier: ${ID}\n"
    "PackageVersion: \"${VERSION}\"\n"
    "${text}"
    "ManifestType: ${type}\n"
    "ManifestVersion: ${SCHEMA}\n")
endfunction()

file(REMOVE_RECURSE ${OUT})
file(MAKE_DIRECTORY ${OUT})
manifest(${ID}.yaml version "DefaultLocale: ja-JP\n")
# NSIS setup programs take /S for a silent run and /D= (last) for the folder. The setup asks for
# administrator rights itself and installs for the machine.
manifest(${ID}.installer.yaml installer
"InstallerType: nullsoft
Scope: machine
ElevationRequirement: elevatesSelf
InstallModes:
  - interactive
  - silent
  - silentWithProgress
InstallerSwitches:
  Silent: /S
  SilentWithProgress: /S
  InstallLocation: /D=<INSTALLPATH>
UpgradeBehavior: install
ProductCode: ${product_code}
AppsAndFeaturesEntries:
  - DisplayName: Vantorel
    Publisher: ${PUBLISHER}
    DisplayVersion: \"${VERSION}\"
    ProductCode: ${product_code}
Installers:
  - Architecture: x64
    InstallerUrl: ${url}
    InstallerSha256: ${hash}
")
set(common "Publisher: ${PUBLISHER}\nPackageName: Vantorel\nLicense: ${license}\nCopyright: ${COPYRIGHT}\n")
manifest(${ID}.locale.ja-JP.yaml defaultLocale "PackageLocale: ja-JP\n${common}ShortDescription: ${DESCRIPTION}\n")
manifest(${ID}.locale.en-US.yaml locale "PackageLocale: en-US\n${common}ShortDescription: Selects or filters the files of an Explorer window by the keywords typed into one box\n")
