-- What wixl 0.101 cannot write, applied by make-package.sh with msibuild, one
-- statement per line.
--
-- The setup program runs as a custom action of type 34: an executable started
-- in a directory, Source the directory, Target the whole command line. 3106 is
-- 34 + 1024 (deferred, in the install script) + 2048 (not impersonated); 3170
-- adds 64 (its exit code is ignored). wixl writes no row for the Directory
-- attribute, so it writes these actions by file key and they are turned here.
UPDATE CustomAction SET Type=3106, Source='INSTALLDIR', Target='"[INSTALLDIR]HalvoranInstallWinApp.exe" -i' WHERE Action='SetUpProduct'
UPDATE CustomAction SET Type=3170, Source='INSTALLDIR', Target='"[INSTALLDIR]HalvoranInstallWinApp.exe" -u' WHERE Action='TakeDownProduct'
-- What the program leaves in its current directory goes with the product, so
-- that the folder goes too: the success marker and the device console's list.
-- On removal (InstallMode 2):
INSERT INTO RemoveFile (FileKey, Component_, FileName, DirProperty, InstallMode) VALUES ('SuccessMarker', 'Program', 'tmp.txt', 'INSTALLDIR', 2)
INSERT INTO RemoveFile (FileKey, Component_, FileName, DirProperty, InstallMode) VALUES ('DeviceList', 'Program', 'devcon_modem.txt', 'INSTALLDIR', 2)
-- and when a failed install rolls back, where Windows Installer replays only
-- what it did itself: 3426 is 34 + 64 + 1280 (roll-back, in the install
-- script) + 2048.
UPDATE CustomAction SET Type=3426, Source='INSTALLDIR', Target='"[%ComSpec]" /c del /f /q tmp.txt devcon_modem.txt' WHERE Action='ClearFailedSetUp'
