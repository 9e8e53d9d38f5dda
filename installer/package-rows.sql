-- What wixl 0.101 cannot write, applied by make-package.sh with msibuild, one
-- statement per line.
--
-- The program and the setup program's roll-back step run as custom actions
-- of type 34: an executable started in a directory, Source the directory,
-- Target the whole command line. Their type bits: 34, + 1024 deferred (in the
-- install script), + 256 only when the install rolls back, + 64 the exit code
-- ignored, + 16384 terminal-server aware (impersonated also in a per-machine
-- install on a terminal server). None has 2048 (no impersonation), which
-- would run it as LocalSystem. wixl writes no row for the Directory
-- attribute, so it writes these actions by file key and they are turned here.
UPDATE CustomAction SET Type=17442, Source='INSTALLDIR', Target='"[INSTALLDIR]HalvoranInstallWinApp.exe" -i' WHERE Action='SetUpProduct'
UPDATE CustomAction SET Type=17506, Source='INSTALLDIR', Target='"[INSTALLDIR]HalvoranInstallWinApp.exe" -u' WHERE Action='TakeDownProduct'
UPDATE CustomAction SET Type=17762, Source='INSTALLDIR', Target='"[INSTALLDIR]HalvoranSetup.exe" /rollback' WHERE Action='UndoSetUp'
-- The refusals: type 19 shows its Target as an error (in the log when there is
-- no user interface) and ends the install with Windows Installer's failure.
UPDATE CustomAction SET Type=19, Source='', Target='HalvoranInstallWinApp Application needs administrator rights to be installed or removed. Start HalvoranSetup.exe, which asks for them, or remove the product from the list of installed programs.' WHERE Action='RefuseWithoutRights'
UPDATE CustomAction SET Type=19, Source='', Target='HalvoranInstallWinApp Application is not installed without a user interface: its setup asks questions and waits while the user adds the modem in a control panel. Install it with HalvoranSetup.exe, at full or reduced user interface (not /qn or /qb).' WHERE Action='RefuseWithoutUser'
-- wixl ends every registry key with a backslash; the entry's key is written
-- as the list of installed programs names it.
UPDATE `Registry` SET `Key`='SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\HalvoranInstallWinApp' WHERE `Component_`='InstalledProgramsEntry'
-- What the program leaves in its current directory goes with the product, so
-- that the folder goes too: the success marker and the device console's list;
-- on install as well (InstallMode 3), so that no marker of an earlier run
-- stands in for this one's when the roll-back step looks for it.
INSERT INTO RemoveFile (FileKey, Component_, FileName, DirProperty, InstallMode) VALUES ('SuccessMarker', 'Program', 'tmp.txt', 'INSTALLDIR', 3)
INSERT INTO RemoveFile (FileKey, Component_, FileName, DirProperty, InstallMode) VALUES ('DeviceList', 'Program', 'devcon_modem.txt', 'INSTALLDIR', 3)
-- The install folder's access list, wherever INSTALLDIR is put: full control
-- for the administrators (and, always, LocalSystem), reading and running for
-- everyone else (GENERIC_ALL 0x10000000; GENERIC_READ | GENERIC_EXECUTE
-- 0xA0000000 as a signed 32-bit number). These two names are the ones the
-- table takes in English on every language of Windows.
CREATE TABLE `LockPermissions` (`LockObject` CHAR(72) NOT NULL, `Table` CHAR(32) NOT NULL, `Domain` CHAR(255), `User` CHAR(255) NOT NULL, `Permission` LONG PRIMARY KEY `LockObject`, `Table`, `Domain`, `User`)
INSERT INTO `LockPermissions` (`LockObject`, `Table`, `User`, `Permission`) VALUES ('INSTALLDIR', 'CreateFolder', 'Administrators', 268435456)
INSERT INTO `LockPermissions` (`LockObject`, `Table`, `User`, `Permission`) VALUES ('INSTALLDIR', 'CreateFolder', 'Everyone', -1610612736)
