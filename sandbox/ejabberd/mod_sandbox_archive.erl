%% What the sandbox's chat server needs beyond the stock message archive:
%% - chat markers and deletion markers are archived: the archive keeps only messages with a body,
%%   a subject or a store hint, so a member's message carrying one of them gets the hint;
%% - legacy archive queries ("urn:xmpp:mam:0") may send their form without a "type", which the
%%   server's form parser refuses; such a form is read as the submitted form it is;
%% - with a "report_url", every message a member sends is posted there (its XML, from and to
%%   included) before the server routes it, and the member's stream waits for the answer, so the
%%   web service sees the members' traffic in order and can prepare a recipient before delivery.
-module(mod_sandbox_archive).
-behaviour(gen_mod).

-export([start/2, stop/1, reload/3, depends/2, mod_opt_type/1, mod_options/1, mod_doc/0]).
-export([user_send_packet/1]).

-define(MARKER_NAMESPACES, [<<"urn:xmpp:chat-markers:0">>, <<"urn:tovrin:delete-marker:0">>]).
-define(LEGACY_ARCHIVE_NAMESPACE, <<"urn:xmpp:mam:0">>).
-define(DATA_FORM_NAMESPACE, <<"jabber:x:data">>).
%% Before the archive's own hook (priority 88) sees the stanza.
-define(PRIORITY, 10).
-define(REPORT_TIMEOUT, 5000).

start(Host, _Opts) ->
    {ok, _} = application:ensure_all_started(inets),
    ejabberd_hooks:add(user_send_packet, Host, ?MODULE, user_send_packet, ?PRIORITY),
    ok.

stop(Host) ->
    ejabberd_hooks:delete(user_send_packet, Host, ?MODULE, user_send_packet, ?PRIORITY),
    ok.

reload(_Host, _NewOpts, _OldOpts) -> ok.
depends(_Host, _Opts) -> [{mod_mam, hard}].
mod_opt_type(report_url) -> econf:binary().
mod_options(_Host) -> [{report_url, <<>>}].
mod_doc() -> #{desc => ["Archives chat and deletion markers; accepts untyped legacy archive forms; "
                        "reports sent messages to the sandbox."]}.

user_send_packet({Packet, #{lserver := Host} = State}) when element(1, Packet) == message ->
    report(Host, Packet),
    case carries_marker(Packet) of
        true -> {xmpp:append_subtags(Packet, [store_hint()]), State};
        false -> {Packet, State}
    end;
user_send_packet({Packet, State}) when element(1, Packet) == iq ->
    {xmpp:set_els(Packet, [typed_query(El) || El <- xmpp:get_els(Packet)]), State};
user_send_packet(Acc) ->
    Acc.

report(Host, Packet) ->
    case gen_mod:get_module_opt(Host, ?MODULE, report_url) of
        <<>> ->
            ok;
        URL ->
            Body = fxml:element_to_binary(xmpp:encode(Packet)),
            %% A sandbox that does not answer only delays the message.
            httpc:request(post, {binary_to_list(URL), [], "application/xml", Body},
                          [{timeout, ?REPORT_TIMEOUT}], []),
            ok
    end.

carries_marker(Packet) ->
    lists:any(fun(El) -> lists:member(xmpp:get_ns(El), ?MARKER_NAMESPACES) end, xmpp:get_els(Packet)).

store_hint() ->
    {xmlel, <<"store">>, [{<<"xmlns">>, <<"urn:xmpp:hints">>}], []}.

typed_query({xmlel, <<"query">>, Attrs, Children} = Query) ->
    case lists:keyfind(<<"xmlns">>, 1, Attrs) of
        {_, ?LEGACY_ARCHIVE_NAMESPACE} -> {xmlel, <<"query">>, Attrs, [typed_form(Child) || Child <- Children]};
        _ -> Query
    end;
typed_query(El) ->
    El.

typed_form({xmlel, <<"x">>, Attrs, Children} = Form) ->
    IsForm = lists:keyfind(<<"xmlns">>, 1, Attrs) == {<<"xmlns">>, ?DATA_FORM_NAMESPACE},
    case IsForm andalso not lists:keymember(<<"type">>, 1, Attrs) of
        true -> {xmlel, <<"x">>, [{<<"type">>, <<"submit">>} | Attrs], Children};
        false -> Form
    end;
typed_form(El) ->
    El.
