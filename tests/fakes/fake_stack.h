// The simulated dial-up stack, seen from a test.
//
// The build makes three fake system libraries, rasapi32.dll, rasdlg.dll and
// setupapi.dll (x86_64, in <run>\bin\fakes), and variants that each lack one entry
// point (<run>\bin\fakes\variants\<library>-no-<entry point>\<library>.dll). The
// program loads its libraries by full path from the system folder, so the fakes
// are put there: PlantSystemFakes makes them the prefix's system libraries
// (Wine's own are renamed away and come back later, see
// tests/support/system_file.h). The test harness sets the three to
// "native,builtin" in the prefix's DllOverrides, so that such a file is loaded
// rather than Wine's built-in library; the device console, which imports the
// setup library, keeps Wine's own by a per-program override. The fakes keep all
// their state in files of the process's CURRENT directory, so a test:
//   1. makes a scratch folder (MakeScratchDir) and calls PlantSystemFakes,
//   2. copies the program (or its own test executable, for a TEST_CHILD) there,
//   3. writes devices, a phonebook or a script with the helpers below,
//   4. runs the program with that folder as its working directory,
//   5. reads the call log, the phonebook and the INF store.
// A test that only needs a fake's own behaviour may instead load it from the
// system folder in its own process (tests/fakes/fake_stack_test.cpp).
//
// Files (all in the current directory of the process under test):
//
// fake_calls.log  Appended by the fakes, one line per event:
//     <library> <event> [<key>=<value> ...]
//   library: rasapi32 | rasdlg | setupapi.
//   event: attach (library loaded; field module= its full path), detach (freed
//   by FreeLibrary), exit (still loaded when the process ended), or the name of
//   the function called.
//   Values: a decimal number; null; ptr (a non-null pointer whose target is not
//   recorded); "text" with \\, \" and \xHH escapes; hex:<two digits per byte>
//   for the raw bytes of a record. Fields per function, in this order:
//     RasEnumDevicesA        buffer=null|ptr [dwSize=<first record's>] size=<*lpcb on entry>
//                            result= sizeOut= countOut=
//     RasSetEntryPropertiesA phonebook= entry= size=<record size argument>
//                            record=hex:<that many bytes, up to 16384> deviceInfo=
//                            deviceInfoSize= result=
//     RasSetEntryDialParamsA phonebook= params=hex:<dwSize bytes> removePassword= result=
//     RasDeleteEntryA        phonebook= entry= result=
//     RasEnumEntriesA        phonebook= result=          (never called by the program)
//     RasGetEntryPropertiesA phonebook= entry= result=   (never called by the program)
//     RasDialDlgA            phonebook= entry= phoneNumber= info=hex:<dwSize bytes> result=
//     SetupCopyOEMInfA       source= media= mediaType= copyStyle= destSize=
//                            requiredSize=null|ptr filePart=null|ptr result= error=
//                            destination=<the destination buffer after the call>
//     SetupUninstallOEMInfA  name= flags= reserved= result= error=
//     SetupGetInfFileListA   directory= style= size= result= error=
//     SetupGetInfInformationA inf= search= size= result= error=
//     SetupQueryInfOriginalFileInformationA inf=<the information's path> index=
//                            platform=null|ptr result= error= original=
//
// fake_devices.txt  Written by the test: one remote-access device per line,
//   "<type> <name>" (type is the first word, the name the rest of the line).
//   RasEnumDevicesA follows the platform: a null buffer is a size probe that
//   answers 603 (ERROR_BUFFER_TOO_SMALL) with the byte count (152 per device,
//   0 with no devices) and the device count; with a buffer, the first record's
//   dwSize must be 152 (else 632, ERROR_INVALID_SIZE), a buffer smaller than
//   the byte count answers 603 again, otherwise the records are filled and 0
//   returned. No file: no devices.
//
// fake_phonebook.txt  Kept by the fake rasapi32 (a test may seed it), one
//   entry per line: entry="<name>" record=hex:<RASENTRYA> params=hex:<RASDIALPARAMSA>
//   (hex: with no digits when not written). Names compare case-insensitively.
//   RasSetEntryPropertiesA adds or writes over an entry (87 for a null or empty
//   name or null record; 632 unless dwSize is sizeof(RASENTRYA) and the size
//   argument at least that); RasSetEntryDialParamsA stores the params of an
//   existing entry named by szEntryName (632 unless dwSize is
//   sizeof(RASDIALPARAMSA); 623, ERROR_CANNOT_FIND_PHONEBOOK_ENTRY, when
//   missing); RasDeleteEntryA removes one (623 when missing). The phonebook
//   path argument is logged, not used: there is one phonebook.
//
// fake_infstore\  The fake setupapi's INF store. SetupCopyOEMInfA behaves as
//   Wine's: a source that cannot be read fails with error 2 and leaves the
//   destination untouched; a store INF with the same content is the existing
//   copy: under SP_COPY_NOOVERWRITE the call fails with 80 (ERROR_FILE_EXISTS)
//   and names it in the destination, otherwise it is written over; a new INF
//   keeps its own file name, or gets oem<N>.inf when a different INF has that
//   name. The destination is the full path <current dir>\fake_infstore\<name>;
//   when it does not fit, 122 and nothing copied. Each copy written gets a
//   <name less .inf>.pnf beside it that holds the source's file name.
//   SetupUninstallOEMInfA takes a bare file name (error 3 for a path), deletes
//   it and its .pnf (TRUE) or fails with 2.
//   SetupGetInfFileListA lists the store's *.inf (a null directory; another
//   folder's otherwise), sorted, the style ignored: TRUE and the size needed in
//   characters; 122 when a buffer is given that is smaller. SetupGetInfInformationA
//   finds a bare name under INFINFO_DEFAULT_SEARCH in the store, a path as given
//   (INFINFO_INF_NAME_IS_ABSOLUTE), 87 for other searches, 2 for a missing file;
//   the information is one WIN4 INF whose version data is its full path (with a
//   null buffer: TRUE and the size). SetupQueryInfOriginalFileInformationA
//   answers, as Wine's does, the store file's own name (87 for an index past
//   InfCount, 1784 ERROR_INVALID_USER_BUFFER unless cbSize is the record's size).
//   With "InfStore windows" in the script the store names copies as Windows
//   does: every new copy is the next free oem<N>.inf, and the original name
//   is the one its .pnf holds.
//
// The fake rasdlg shows nothing: RasDialDlgA answers TRUE when info->dwSize
// is sizeof(RASDIALDLG), FALSE otherwise.
//
// fake_script.txt  Written by the test: forced outcomes, one rule per line,
//   "<key> <value>" ('#' starts a comment line). Keys, most specific first:
//     <Function>#<n>          only the n-th call of that function in this folder
//                             (counted from the log, 1 = first, across processes)
//     RasEnumDevicesA.probe   the null-buffer calls;  RasEnumDevicesA.list  the others
//     <Function>              every call
//     InfStore windows        the store names its copies as Windows does (above)
//   Value: the result to return (decimal; -1 means 0xFFFFFFFF), except for
//   SetupCopyOEMInfA: copied (TRUE, source copied, destination named),
//   staged (FALSE, error 80, the store path of the source's name in the
//   destination, nothing written) or failed (FALSE, error 2, destination
//   untouched). A forced failure changes nothing (no entry written or deleted,
//   no INF removed); a forced success of a call that would fail changes
//   nothing either, and outputs such as RasEnumDevicesA's counts are written as
//   without the script.
#pragma once
#include <stdint.h>
#include <string>
#include <vector>

#include "tests/fakes/fake_files.h"

namespace fakestack {

using fakefiles::Device;
using fakefiles::PhonebookEntry;

// Puts rasapi32.dll, rasdlg.dll and setupapi.dll (each named variant, such as
// "rasapi32-no-RasEnumEntriesA", in place of its library; Wine's own setup
// library when setupLibrary is false) in the system folder of this process,
// from now until the next call or RestoreSystemLibraries, at the latest until
// this test executable ends. False when a file could not be put in place.
bool PlantSystemFakes(const std::vector<std::string>& variants = {}, bool setupLibrary = true);
// Wine's own three libraries back in the system folder.
void RestoreSystemLibraries();

// A variant ("rasapi32-no-RasEnumEntriesA"): its library's file name
// ("rasapi32.dll") and the built file.
std::string VariantLibrary(const std::string& variant);
std::string VariantPath(const std::string& variant);

bool WriteDevices(const std::string& dir, const std::vector<Device>& devices);
bool WriteScript(const std::string& dir, const std::string& rules);  // "Key value\n..."
bool WritePhonebook(const std::string& dir, const std::vector<PhonebookEntry>& entries);

// One line of the call log.
struct Call {
  std::string library;
  std::string event;  // attach, detach, exit, or the function
  std::vector<fakefiles::Field> fields;

  bool Has(const char* key) const;
  bool IsNull(const char* key) const;    // present and null
  std::string Text(const char* key) const;   // text, or the raw bytes of hex:
  unsigned long long Number(const char* key) const;  // 0 when absent
  std::string Bytes(const char* key) const { return Text(key); }
};

// Every line of dir\fake_calls.log, in order (empty when there is none).
// A malformed line is kept with event "?".
std::vector<Call> ReadCalls(const std::string& dir);

// The lines of one library with one event (a function, "attach", ...).
std::vector<Call> CallsOf(const std::vector<Call>& calls, const std::string& library,
                          const std::string& event);
size_t CountOf(const std::vector<Call>& calls, const std::string& library, const std::string& event);

std::vector<PhonebookEntry> ReadPhonebook(const std::string& dir);
// The *.inf file names in dir\fake_infstore, sorted.
std::vector<std::string> StagedInfs(const std::string& dir);
// Puts a copy of source in the store as storeName, its .pnf naming originalName.
bool SeedStoreCopy(const std::string& dir, const std::string& storeName,
                   const std::string& originalName, const std::string& source);
std::string InfStoreDir(const std::string& dir);

// Reading record bytes: a little-endian 32-bit value, and a NUL-terminated
// text of at most max bytes, at a byte offset (0 and "" past the end).
uint32_t DwordAt(const std::string& bytes, size_t offset);
std::string TextAt(const std::string& bytes, size_t offset, size_t max);

}  // namespace fakestack
