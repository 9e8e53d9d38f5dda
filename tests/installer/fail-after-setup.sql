-- A variant of the package whose install fails after the program's -i has
-- completed: a deferred action right after it ends with exit code 3, so that
-- Windows Installer rolls the install back. 1058 is type 34 + 1024 (deferred),
-- its exit code checked. Applied after package-rows.sql (make-package.sh).
INSERT INTO CustomAction (Action, Type, Source, Target) VALUES ('FailAfterSetUp', 1058, 'INSTALLDIR', '"[%ComSpec]" /c exit 3')
INSERT INTO InstallExecuteSequence (Action, Condition, Sequence) VALUES ('FailAfterSetUp', 'NOT Installed', 4003)
