# fish completion for kestrova-sync: its options, and full paths of folders for the pairs.

# The folders must be full paths: a relative one is refused, so none is offered.
function __kestrova_sync_folders
    set -l token (commandline -ct)
    switch $token
        case '/*' '~*'
            __fish_complete_directories $token
        case ''
            echo /
    end
end

complete -c kestrova-sync -f -a '(__kestrova_sync_folders)' -n 'not __fish_seen_argument -l saved'
complete -c kestrova-sync -l delete -d 'Also delete what no longer exists in the source'
complete -c kestrova-sync -l no-delete -d 'Keep what no longer exists in the source'
complete -c kestrova-sync -l trash -d 'Move deleted and replaced files to the trash'
complete -c kestrova-sync -l no-trash -d 'Delete and replace files for good'
complete -c kestrova-sync -l list-deleted -d 'List what was deleted from each target'
complete -c kestrova-sync -l no-list-deleted -d 'Do not list what was deleted'
complete -c kestrova-sync -l dry-run -d 'Change nothing: report what a run would do'
complete -c kestrova-sync -l max-delete -x -d 'Delete nothing beyond this many entries'
complete -c kestrova-sync -l record -d 'Add an account of the run to the run record'
complete -c kestrova-sync -l saved -d 'Run every pair saved by the Kestrova window'
complete -c kestrova-sync -l notify-failure -d 'Notify of the newest recorded failure'
complete -c kestrova-sync -s h -l help -d 'Show the help'
complete -c kestrova-sync -l version -d 'Show the version'
